#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaline::cli {
namespace {

using Action = CommandLine::Action;

struct Accepted {
  std::vector<std::string> args;
  std::string input, output;
  int colorThreshold, softness, bias, keyColorThreshold;
  SourceMode mode;
  std::vector<int> keyColor;  // alpha, red, green, blue
  bool viaPlugin;
};

TEST(CommandLineTest, AcceptedCommandLines) {
  const std::vector<int> black{255, 0, 0, 0};  // the effect's default key colour
  constexpr SourceMode kPlain = SourceMode::Plain;
  const Accepted cases[] = {
      // The effect's own defaults.
      {{"in.png", "out.png"}, "in.png", "out.png", 10, 70, 0, 0, kPlain, black, false},
      // Every option at its range ends, in both spellings.
      {{"in.png", "out.png", "--color-threshold", "1020", "--softness", "0", "--bias", "100", "--key-color", "0,0,0",
        "--key-color-threshold", "1020"},
       "in.png", "out.png", 1020, 0, 100, 1020, SourceMode::Key, black, false},
      {{"in.png", "out.png", "--color-threshold=1", "--softness=100", "--bias=0", "--key-color=#0C00ff",
        "--key-color-threshold=0"},
       "in.png", "out.png", 1, 100, 0, 0, SourceMode::Key, {255, 12, 0, 255}, false},
      {{"in.png", "out.png", "--key-color", "12,0,255"},
       "in.png", "out.png", 10, 70, 0, 0, SourceMode::Key, {255, 12, 0, 255}, false},
      {{"in.png", "out.png", "--invert", "--key-color=1,2,3"},
       "in.png", "out.png", 10, 70, 0, 0, SourceMode::KeyInvert, {255, 1, 2, 3}, false},
      {{"in.png", "--via-plugin", "out.png"}, "in.png", "out.png", 10, 70, 0, 0, kPlain, black, true},
      // File names anywhere, and after "--" even when they look like options.
      {{"--softness", "3", "a.tif", "--bias=4", "b.tif"}, "a.tif", "b.tif", 10, 3, 4, 0, kPlain, black, false},
      {{"--", "-in.png", "--softness"}, "-in.png", "--softness", 10, 70, 0, 0, kPlain, black, false},
  };
  for (const Accepted& c : cases) {
    const CommandLine result = ParseCommandLine(c.args);
    ASSERT_EQ(result.action, Action::Run) << result.error;
    const Options& o = result.options;
    const Params& p = o.params;
    EXPECT_EQ(std::vector<std::string>({o.input.text, o.output.text}), std::vector<std::string>({c.input, c.output}));
    EXPECT_EQ(std::vector<int>({p.colorThreshold, p.softness, p.bias, p.keyColorThreshold}),
              std::vector<int>({c.colorThreshold, c.softness, c.bias, c.keyColorThreshold}))
        << testing::PrintToString(c.args);
    EXPECT_EQ(std::vector<int>(p.keyColor, p.keyColor + 4), c.keyColor) << testing::PrintToString(c.args);
    EXPECT_EQ(o.mode, c.mode) << testing::PrintToString(c.args);
    EXPECT_EQ(o.viaPlugin, c.viaPlugin) << testing::PrintToString(c.args);
  }
  EXPECT_EQ(ParseCommandLine({"in.png", "-h"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"x", "--version", "--bad"}).action, Action::Version);
}

TEST(CommandLineTest, ShotOptions) {
  struct Case {
    std::vector<std::string> args;
    std::vector<int> frames;  // empty: --frames not given
    std::vector<int> chunk;   // index, count; empty: not given
    int threads;
    std::string part, edges;
    std::vector<bool> strictSkipQuiet;
  };
  const Case cases[] = {
      {{"a.####.exr", "b.%04d.exr"}, {}, {}, 0, "", "", {false, false, false}},
      {{"a.####.exr", "b.@@.exr", "--frames=5,1-3", "--chunk", "2/4", "--threads", "3", "--part", "beauty", "--edges",
        "e.####.png", "--strict", "--skip-existing", "--quiet"},
       {1, 2, 3, 5}, {2, 4}, 3, "beauty", "e.####.png", {true, true, true}},
      {{"a.png", "b.png", "--threads=1024", "--edges=e.png", "--skip-existing", "--part=diffuse.RGBA"},
       {}, {}, 1024, "diffuse.RGBA", "e.png", {false, true, false}},
  };
  for (const Case& c : cases) {
    const CommandLine result = ParseCommandLine(c.args);
    ASSERT_EQ(result.action, Action::Run) << result.error;
    const Options& o = result.options;
    EXPECT_EQ(o.frames.value_or(std::vector<int>{}), c.frames) << testing::PrintToString(c.args);
    EXPECT_EQ((o.chunk ? std::vector<int>{o.chunk->index, o.chunk->count} : std::vector<int>{}), c.chunk);
    EXPECT_EQ(o.threads, c.threads);
    EXPECT_EQ(o.part, c.part);
    EXPECT_EQ(o.edges ? o.edges->text : "", c.edges);
    EXPECT_EQ(std::vector<bool>({o.strict, o.skipExisting, o.quiet}), c.strictSkipQuiet);
  }
}

TEST(CommandLineTest, RejectedCommandLinesSayWhatIsWrongInOneLine) {
  const std::string seeHelp = "; run 'tessaline --help' for usage";
  const std::string keyOnly = " only works with a colour key; add --key-color R,G,B or drop ";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  std::vector<Case> cases = {
      {{"in.png", "out.png", "--invert"}, "--invert" + keyOnly + "--invert"},
      {{"in.png", "out.png", "--key-color-threshold", "5"},
       "--key-color-threshold" + keyOnly + "--key-color-threshold"},
      {{"in.png", "out.png", "--key-color-threshold=5", "--invert"},
       "--key-color-threshold" + keyOnly + "--key-color-threshold"},
      {{"in.png", "out.png", "--invert=1", "--key-color", "1,2,3"},
       "--invert takes no value, not '--invert=1'" + seeHelp},
      {{"in.png", "out.png", "--via-plugin=yes"}, "--via-plugin takes no value, not '--via-plugin=yes'" + seeHelp},
      {{"in.png", "out.png", "--strict=1"}, "--strict takes no value, not '--strict=1'" + seeHelp},
      {{"in.png", "out.png", "--bias", "5", "--bias=9"}, "--bias is given twice; give each option once"},
      {{"in.png", "out.png", "--quiet", "--quiet"}, "--quiet is given twice; give each option once"},
      {{"in.png", "out.png", "--sharpness", "5"}, "unknown option '--sharpness'" + seeHelp},
      {{"in.png", "out.png", "-s"}, "unknown option '-s'" + seeHelp},
      {{"in.png", "out.png", "--softness"}, "--softness needs a value" + seeHelp},
      {{"in.png", "out.png", "--key-color"}, "--key-color needs a value" + seeHelp},
      {{"in.png", "out.png", "--edges", "--quiet"}, "--edges needs a value" + seeHelp},
      {{"in.png", "out.png", "--part="}, "--part needs a value" + seeHelp},
      {{}, "missing INPUT and OUTPUT file names" + seeHelp},
      {{"in.png"}, "missing OUTPUT file name" + seeHelp},
      {{"in.png", "out.png", "x.png"}, "unexpected argument 'x.png': give exactly one INPUT and one OUTPUT" + seeHelp},
      // Shots: patterns that do not fit together, and shot options on one file.
      {{"in.####.png", "out.png"},
       "OUTPUT 'out.png' is one file but INPUT is a frame pattern; give a pattern too (e.g. out.####.png)"},
      {{"in.png", "out.%04d.png"},
       "OUTPUT 'out.%04d.png' is a frame pattern but INPUT is one file; give a single file name (e.g. out.png)"},
      {{"in.png", "out.png", "--edges", "e.@@.png"},
       "--edges 'e.@@.png' is a frame pattern but INPUT is one file; give a single file name (e.g. out.png)"},
      {{"in.####.png", "out.####.png", "--edges=out.%04d.png"},
       "--edges 'out.%04d.png' names the same files as OUTPUT; give it names of its own"},
      {{"in.png", "out.png", "--frames", "1-3"},
       "--frames needs INPUT to be a frame pattern such as shot.####.exr, not the single file 'in.png'"},
      {{"in.png", "out.png", "--chunk", "1/2"},
       "--chunk needs INPUT to be a frame pattern such as shot.####.exr, not the single file 'in.png'"},
      {{"in.%3d.png", "out.png"}, "INPUT '%3d' pads frame numbers with spaces; write '%03d' for zero-padded numbers"},
      {{"in.#.png", "o#.##.png"}, "OUTPUT 'o#.##.png' has two frame-number marks; keep one (e.g. shot.####.exr)"},
      {{"a.#.png", "b.#.png", "--frames", "x"},
       "--frames needs frame numbers such as 1001-1100, 1001-1100x2 or 1,5,9-12, not 'x'"},
      {{"a.#.png", "b.#.png", "--chunk", "4/3"}, "--chunk '4/3' asks for share 4 of 3; K runs from 1 to N"},
  };
  // Values out of range or not written as a plain whole number.
  const std::vector<std::vector<std::string>> numbers = {
      {"--color-threshold", "1 to 1020", "0", "1021"},
      {"--softness", "0 to 100", "101", "-1", "-0", "7x", "", " 7", "+7", "7.0"},
      {"--bias", "0 to 100", "101", "0x10", "99999999999999999999"},
      {"--key-color-threshold", "0 to 1020", "1021"},
      {"--threads", "1 to 1024", "0", "1025", "all"},
  };
  for (const auto& n : numbers)
    for (std::size_t i = 2; i < n.size(); ++i)
      cases.push_back({{"in.png", "out.png", "--key-color=0,0,0", n[0], n[i]},
                       n[0] + " needs a whole number from " + n[1] + ", not '" + n[i] + "'"});
  for (const char* value : {"1,2", "1,2,3,4", "1,2,", ",1,2", "1,,2", "256,0,0", "0,-1,0", "a,b,c", "", "1;2;3",
                            "#00FF0", "#00FF0G", "00FF00", "#00FF00 ", "#-0FF00", "#+0FF00"}) {
    cases.push_back({{"in.png", "out.png", "--key-color", value},
                     std::string("--key-color needs three numbers from 0 to 255 written R,G,B (e.g. 0,255,0) or a ") +
                         "hex colour #RRGGBB (e.g. #00FF00), not '" + value + "'"});
  }
  for (const Case& c : cases) {
    const CommandLine result = ParseCommandLine(c.args);
    EXPECT_EQ(result.action, Action::Fail) << testing::PrintToString(c.args);
    EXPECT_EQ(result.error, c.error) << testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace tessaline::cli
