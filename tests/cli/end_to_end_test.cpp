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
                             "--key-color-threshold N", "--invert", "--part NAME", "--edges OUT", "--via-plugin",
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

TEST(ToolTest, AKeyOnAnImageWithoutAlphaWarnsButRenders) {
  const ScratchDir dir;
  WriteSamples(dir / "in.png", 8, 8, 3, Paint8<3>(8, 8, [](int x, int y) {
                 return x > y ? std::array<std::uint8_t, 3>{0, 255, 0} : std::array<std::uint8_t, 3>{90, 90, 90};
               }));
  const ToolRun run = RunInProcess({(dir / "in.png").string(), (dir / "out.png").string(), "--key-color", "0,255,0"});
  EXPECT_EQ(run.exitCode, 0);
  const std::size_t firstLine = run.err.find('\n') + 1;
  ExpectOneLine(run.err.substr(0, firstLine), "tessaline: warning: '" + (dir / "in.png").string() + "' has no alpha channel");
  ExpectOneLine(run.err.substr(firstLine), "tessaline: 1 frame smoothed in ");
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
