// The tool, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "../../Source/effect_identity.h"
#include "cli_test_support.h"
#include "engine.h"

namespace tessaline::cli {
namespace {

using namespace test;
namespace fs = std::filesystem;

using Rgba = std::array<std::uint8_t, 4>;

void ExpectOneLine(const std::string& text, const std::string& prefix) {
  EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
  EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
}

TEST(ToolTest, HelpExplainsEveryOptionAndVersionNamesTheRelease) {
  const ToolRun run = RunProgram({"--help"});
  EXPECT_EQ(std::tuple(run.exitCode, run.err), std::tuple(0, ""));
  EXPECT_EQ(run.out.rfind("Usage: tessaline INPUT OUTPUT [options]\n", 0), 0u) << run.out;
  for (const char* option : {"--color-threshold N", "--softness N", "--bias N", "--key-color COLOUR",
                             "--key-color-threshold N", "--invert", "--part NAME", "--all-parts", "--edges OUT",
                             "--max-pixels N", "--via-plugin", "--via-ofx",
                             "--frames LIST", "--chunk K/N", "--skip-existing", "--strict", "--threads N", "--quiet",
                             "--version", "-h, --help"}) {
    EXPECT_NE(run.out.find("\n  " + std::string(option) + " "), std::string::npos) << option;
  }
  EXPECT_EQ(RunProgram({"-h"}).out, run.out);
  const ToolRun version = RunProgram({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "tessaline " + std::to_string(TESSALINE_VERSION_MAJOR) + "." +
                             std::to_string(TESSALINE_VERSION_MINOR) + "." + std::to_string(TESSALINE_VERSION_BUGFIX) +
                             " (build " + std::to_string(TESSALINE_VERSION_BUILD) + ")\n");
}

// Flat regions with shallow stairs, a 45-degree edge in the key colour, a near-key patch, a
// semi-transparent block, an isolated pixel and a one-pixel line.
std::vector<std::uint8_t> MixedRgba(int width, int height) {
  return Paint8<4>(width, height, [](int x, int y) -> Rgba {
    if (x == 20 && y == 2) return {255, 255, 255, 255};
    if (x == 16 && y >= 10 && y <= 20) return {0, 0, 0, 255};
    if (x >= 3 && x < 12 && y >= 14 + x / 4 && y < 22) return {255, 0, 0, 128};
    if (x >= 28 && y < 8) return {4, 250, 3, 255};
    if (x + y > 40) return {0, 255, 0, 255};
    if (y >= 4 + x / 5) return {240, 200, 40, 255};
    return {30, 30, 200, 255};
  });
}

// What Render makes of RGBA samples, as RGBA samples.
std::vector<std::uint8_t> RenderDirectly(const std::vector<std::uint8_t>& rgba, int width, int height,
                                         const Params& params, SourceMode mode) {
  std::vector<std::uint8_t> argb(rgba.size()), out(rgba.size()), result(rgba.size());
  for (std::size_t i = 0; i < rgba.size(); i += 4) std::rotate_copy(&rgba[i], &rgba[i + 3], &rgba[i + 4], &argb[i]);
  std::vector<std::uint8_t> map(EdgeMapBytes(width, height));
  EXPECT_EQ(Render(Depth::U8, mode, {argb.data(), 4 * width, width, height}, {out.data(), 4 * width, width, height},
                   params, map.data()),
            RenderStatus::Ok);
  for (std::size_t i = 0; i < out.size(); i += 4) std::rotate_copy(&out[i], &out[i + 1], &out[i + 4], &result[i]);
  return result;
}

TEST(ToolTest, EightBitOutputEqualsTheEngineCalledDirectly) {
  constexpr int kWidth = 32, kHeight = 24;
  const std::vector<std::uint8_t> input = MixedRgba(kWidth, kHeight);
  const ScratchDir dir;
  WriteSamples(dir / "in.png", kWidth, kHeight, 4, input);

  struct Setting {
    std::vector<std::string> args;
    Params params;
    SourceMode mode;
  };
  const Setting settings[] = {
      {{}, {}, SourceMode::Plain},
      {{"--softness", "100", "--bias", "40", "--color-threshold", "30"},
       {.colorThreshold = 30, .softness = 100, .bias = 40},
       SourceMode::Plain},
      {{"--key-color", "0,255,0", "--key-color-threshold", "12", "--softness=60"},
       {.softness = 60, .keyColor = {255, 0, 255, 0}, .keyColorThreshold = 12},
       SourceMode::Key},
      {{"--key-color=0,255,0", "--invert", "--color-threshold", "1"},
       {.colorThreshold = 1, .keyColor = {255, 0, 255, 0}},
       SourceMode::KeyInvert},
  };
  for (const Setting& setting : settings) {
    std::vector<std::string> args{(dir / "in.png").string(), (dir / "out.png").string()};
    args.insert(args.end(), setting.args.begin(), setting.args.end());
    WriteFileBytes(dir / "out.png", "an older output, replaced whole");
    const ToolRun run = RunInProcess(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectOneLine(run.err, "tessaline: 1 frame smoothed in ");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "out.png"}));  // no temporary file left

    const auto output = ReadSamples<std::uint8_t>(dir / "out.png");
    EXPECT_NE(output.samples, input) << "the setting must change something to prove anything";
    EXPECT_EQ(output.samples, RenderDirectly(input, kWidth, kHeight, setting.params, setting.mode))
        << testing::PrintToString(setting.args);
  }
}

// The key keys: an input without alpha (RGB or grey) gets an alpha channel in every OUTPUT format
// that holds one, transparent exactly where the key matched; an OUTPUT that cannot hold alpha is
// refused before any work, even before INPUT is read, naming the formats that can.
TEST(ToolTest, AKeyOnAnImageWithoutAlphaAddsOneOrIsRefusedBeforeAnyWork) {
  const ScratchDir dir;
  const auto keyed = [](int x, int y) { return x > y; };  // the upper right triangle is key green
  WriteSamples(dir / "rgb.png", 8, 8, 3, Paint8<3>(8, 8, [&](int x, int y) {
                 return keyed(x, y) ? std::array<std::uint8_t, 3>{0, 255, 0} : std::array<std::uint8_t, 3>{90, 90, 90};
               }));
  WriteSamples(dir / "grey.tif", 8, 8, 1, Paint8<1>(8, 8, [&](int x, int y) {
                 return std::array<std::uint8_t, 1>{static_cast<std::uint8_t>(keyed(x, y) ? 200 : 90)};
               }));
  ASSERT_EQ(RunInProcess({(dir / "rgb.png").string(), (dir / "rgb.bmp").string(), "--softness", "0", "--quiet"}).exitCode, 0);
  const struct {
    const char* in;
    const char* key;
    const char* out;
    std::vector<std::string> channels;  // of the output; none: refused
  } cases[] = {
      {"rgb.png", "0,255,0", "out.png", {"R", "G", "B", "A"}},   {"rgb.bmp", "0,255,0", "out.tif", {"R", "G", "B", "A"}},
      {"rgb.png", "0,255,0", "out.exr", {"R", "G", "B", "A"}},   {"grey.tif", "200,200,200", "grey.png", {"Y", "A"}},
      {"grey.tif", "200,200,200", "grey.tif", {"Y", "A"}},      {"rgb.png", "0,255,0", "out.jpg", {}},
      {"absent.png", "0,255,0", "out.hdr", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " to " + c.out);
    const fs::path out = dir / c.out;
    const ToolRun run =
        RunInProcess({(dir / c.in).string(), out.string(), "--key-color", c.key, "--softness", "0", "--quiet"});
    if (c.channels.empty()) {
      EXPECT_EQ(run.exitCode, 1);
      ExpectOneLine(run.err, "tessaline: --key-color makes pixels transparent, which OUTPUT '" + out.string() +
                                 "' cannot hold (its format has no alpha); write it as one of .exr, .tif, ");
      EXPECT_NE(run.err.find(".png"), std::string::npos) << run.err;
      EXPECT_FALSE(fs::exists(out));
      continue;
    }
    EXPECT_EQ(std::tuple(run.exitCode, run.err), std::tuple(0, ""));
    const Samples<float> read = ReadSamples<float>(out);
    ASSERT_EQ(read.spec.channelnames, c.channels);
    const std::size_t n = c.channels.size();
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(read.samples[(static_cast<std::size_t>(y) * 8 + static_cast<std::size_t>(x)) * n + n - 1],
                  keyed(x, y) ? 0.0f : 1.0f)
            << x << "," << y;
      }
    }
  }
}

// What a file holds reaches the terminal with its control characters escaped: a channel name
// cannot retitle the window, clear the screen or start a control sequence; whole UTF-8 stays.
TEST(ToolTest, TextFromAFileCannotSteerTheTerminal) {
  const ScratchDir dir;
  Part part = MakePart(2, 2, {"X", "Z"}, {OIIO::TypeDesc::HALF});
  part.spec.channelnames = {"X\x1b]0;owned\x07", "\xc3\xa9t\xc3\xa9\xc2\x9b\xff\x1b[2J"};
  WriteParts(dir / "in.exr", {part});
  const ToolRun run = RunInProcess({(dir / "in.exr").string(), (dir / "out.exr").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("(it has X\\x1B]0;owned\\x07,\xc3\xa9t\xc3\xa9\\xC2\\x9B\\xFF\\x1B[2J)\n"), std::string::npos)
      << run.err;
  EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end() - 1, [](char c) { return c == '\x1b' || c == '\x07' || c == '\n'; }));
  EXPECT_EQ(TerminalSafe("tab\tstays, \xe6\x97\xa5 too; \x7f and \xed\xa0\x80 do not"),
            "tab\tstays, \xe6\x97\xa5 too; \\x7F and \\xED\\xA0\\x80 do not");
}

// Each way of failing once, through the program itself: options_test, image_io_test and
// file_safety_test check every message.
TEST(ToolTest, FailsClearlyWithTheRightStatusAndChangesNothing) {
  const struct {
    std::vector<std::string> args;  // "@name" is that name inside the scratch directory
    int exitCode;
    std::string message;
  } cases[] = {
      {{"@in.png", "@out.png", "--softness", "101"}, 2, "from 0 to 100, not '101'"},
      {{"@in.png"}, 2, "missing OUTPUT"},
      {{"@in.#.png", "@out.#.png", "--frames", "7", "--strict"}, 1, "no INPUT file"},
      {{"@absent.png", "@out.png"}, 1, "no such file"},
      {{"@in.png", "@missing/out.png"}, 1, "check that the folder exists"},
  };
  const ScratchDir dir;
  WriteSamples(dir / "in.png", 4, 4, 3, Paint8<3>(4, 4, [](int x, int) {
                 return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(60 * x), 0, 0};
               }));
  WriteFileBytes(dir / "out.png", "the previous output");
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(arg.starts_with("@") ? (dir / arg.substr(1)).string() : arg);
    const ToolRun run = RunProgram(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    ExpectOneLine(run.err, "tessaline: ");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.Entries(), (std::set<std::string>{"in.png", "out.png"}));
    EXPECT_EQ(FileBytes(dir / "out.png"), "the previous output");
  }
}

}  // namespace
}  // namespace tessaline::cli
