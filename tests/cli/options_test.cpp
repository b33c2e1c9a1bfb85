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
      // Every option at its range ends, in both spellings; a key threshold alone does not turn the key on.
      {{"in.png", "out.png", "--color-threshold", "1020", "--softness", "0", "--bias", "100",
        "--key-color-threshold", "1020"},
       "in.png", "out.png", 1020, 0, 100, 1020, kPlain, black, false},
      {{"in.png", "out.png", "--color-threshold=1", "--softness=100", "--bias=0", "--key-color-threshold=0"},
       "in.png", "out.png", 1, 100, 0, 0, kPlain, black, false},
      {{"in.png", "out.png", "--bias", "5", "--bias=9"}, "in.png", "out.png", 10, 70, 9, 0, kPlain, black, false},
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
    EXPECT_EQ(std::vector<std::string>({o.input, o.output}), std::vector<std::string>({c.input, c.output}));
    EXPECT_EQ(std::vector<int>({p.colorThreshold, p.softness, p.bias, p.keyColorThreshold}),
              std::vector<int>({c.colorThreshold, c.softness, c.bias, c.keyColorThreshold}))
        << testing::PrintToString(c.args);
    EXPECT_EQ(std::vector<int>(p.keyColor, p.keyColor + 4), c.keyColor) << testing::PrintToString(c.args);
    EXPECT_EQ(o.mode, c.mode) << testing::PrintToString(c.args);
    EXPECT_EQ(o.viaPlugin, c.viaPlugin) << testing::PrintToString(c.args);
  }
  EXPECT_EQ(ParseCommandLine({"in.png", "-h"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
}

TEST(CommandLineTest, RejectedCommandLinesSayWhatIsWrongInOneLine) {
  const std::string seeHelp = "; run 'tessaline --help' for usage";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  std::vector<Case> cases = {
      {{"in.png", "out.png", "--invert"},
       "--invert only inverts a colour key; add --key-color R,G,B or drop --invert"},
      {{"in.png", "out.png", "--invert=1", "--key-color", "1,2,3"},
       "--invert takes no value, not '--invert=1'" + seeHelp},
      {{"in.png", "out.png", "--via-plugin=yes"},
       "--via-plugin takes no value, not '--via-plugin=yes'" + seeHelp},
      {{"in.png", "out.png", "--sharpness", "5"}, "unknown option '--sharpness'" + seeHelp},
      {{"in.png", "out.png", "-s"}, "unknown option '-s'" + seeHelp},
      {{"in.png", "out.png", "--softness"}, "--softness needs a value" + seeHelp},
      {{"in.png", "out.png", "--key-color"}, "--key-color needs a value" + seeHelp},
      {{}, "missing INPUT and OUTPUT file names" + seeHelp},
      {{"in.png"}, "missing OUTPUT file name" + seeHelp},
      {{"in.png", "out.png", "x.png"},
       "unexpected argument 'x.png': give exactly one INPUT and one OUTPUT" + seeHelp},
  };
  // Values out of range or not written as a plain whole number.
  const std::vector<std::vector<std::string>> numbers = {
      {"--color-threshold", "1 to 1020", "0", "1021"},
      {"--softness", "0 to 100", "101", "-1", "7x", "", " 7", "+7", "7.0"},
      {"--bias", "0 to 100", "101", "0x10", "99999999999999999999"},
      {"--key-color-threshold", "0 to 1020", "1021"},
  };
  for (const auto& n : numbers)
    for (std::size_t i = 2; i < n.size(); ++i)
      cases.push_back({{"in.png", "out.png", n[0], n[i]},
                       n[0] + " needs a whole number from " + n[1] + ", not '" + n[i] + "'"});
  for (const char* value : {"1,2", "1,2,3,4", "1,2,", ",1,2", "1,,2", "256,0,0", "0,-1,0", "a,b,c", "", "1;2;3"}) {
    cases.push_back({{"in.png", "out.png", "--key-color", value},
                     std::string("--key-color needs three numbers from 0 to 255 written R,G,B (e.g. 0,255,0), ") +
                         "not '" + value + "'"});
  }
  for (const Case& c : cases) {
    const CommandLine result = ParseCommandLine(c.args);
    EXPECT_EQ(result.action, Action::Fail) << testing::PrintToString(c.args);
    EXPECT_EQ(result.error, c.error) << testing::PrintToString(c.args);
  }
}

}  // namespace
}  // namespace tessaline::cli
