#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaline::cli {
namespace {

using Action = CommandLine::Action;

Options Accept(std::vector<std::string> options) {
  options.insert(options.begin(), {"in.png", "out.png"});
  const CommandLine result = ParseCommandLine(options);
  EXPECT_EQ(result.action, Action::Run) << result.error;
  return result.options;
}

std::string Reject(const std::vector<std::string>& args) {
  const CommandLine result = ParseCommandLine(args);
  EXPECT_EQ(result.action, Action::Fail);
  EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
  return result.error;
}

TEST(CommandLineTest, DefaultsAreTheEffectsOwn) {
  const Options o = Accept({});
  EXPECT_EQ(o.input, "in.png");
  EXPECT_EQ(o.output, "out.png");
  EXPECT_EQ(o.params.colorThreshold, 10);
  EXPECT_EQ(o.params.softness, 70);
  EXPECT_EQ(o.params.bias, 0);
  EXPECT_EQ(o.params.keyColorThreshold, 0);
  EXPECT_EQ(o.mode, SourceMode::Plain);
}

TEST(CommandLineTest, EveryOptionInBothSpellingsAtItsRangeEnds) {
  for (const auto& args : {std::vector<std::string>{"--color-threshold", "1020", "--softness", "0", "--bias",
                                                    "100", "--key-color-threshold", "1020"},
                           std::vector<std::string>{"--color-threshold=1", "--softness=100", "--bias=0",
                                                    "--key-color-threshold=0"}}) {
    const bool high = args.size() == 8;
    const Options o = Accept(args);
    EXPECT_EQ(o.params.colorThreshold, high ? 1020 : 1);
    EXPECT_EQ(o.params.softness, high ? 0 : 100);
    EXPECT_EQ(o.params.bias, high ? 100 : 0);
    EXPECT_EQ(o.params.keyColorThreshold, high ? 1020 : 0);
    EXPECT_EQ(o.mode, SourceMode::Plain) << "a key threshold alone does not turn the key on";
  }
  EXPECT_EQ(Accept({"--bias", "5", "--bias=9"}).params.bias, 9);
}

TEST(CommandLineTest, KeyColorTurnsTheKeyOnAndInvertInvertsIt) {
  const Options keyed = Accept({"--key-color", "12,0,255"});
  EXPECT_EQ(keyed.mode, SourceMode::Key);
  EXPECT_EQ(std::vector<int>(keyed.params.keyColor, keyed.params.keyColor + 4),
            (std::vector<int>{255, 12, 0, 255}));
  const Options inverted = Accept({"--invert", "--key-color=1,2,3"});
  EXPECT_EQ(inverted.mode, SourceMode::KeyInvert);
  EXPECT_EQ(std::vector<int>(inverted.params.keyColor, inverted.params.keyColor + 4),
            (std::vector<int>{255, 1, 2, 3}));
}

TEST(CommandLineTest, FileNamesAnywhereAndAfterDoubleDash) {
  CommandLine result = ParseCommandLine({"--softness", "3", "a.tif", "--bias=4", "b.tif"});
  ASSERT_EQ(result.action, Action::Run) << result.error;
  EXPECT_EQ(result.options.input, "a.tif");
  EXPECT_EQ(result.options.output, "b.tif");
  EXPECT_EQ(result.options.params.softness, 3);
  result = ParseCommandLine({"--", "-in.png", "--softness"});
  ASSERT_EQ(result.action, Action::Run) << result.error;
  EXPECT_EQ(result.options.input, "-in.png");
  EXPECT_EQ(result.options.output, "--softness");
  EXPECT_EQ(ParseCommandLine({"in.png", "-h"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
}

TEST(CommandLineTest, ValuesOutOfRangeOrMalformedAreRejected) {
  struct Case {
    const char* option;
    const char* value;
    const char* range;
  };
  const Case cases[] = {
      {"--color-threshold", "0", "1 to 1020"},
      {"--color-threshold", "1021", "1 to 1020"},
      {"--softness", "101", "0 to 100"},
      {"--softness", "-1", "0 to 100"},
      {"--bias", "101", "0 to 100"},
      {"--key-color-threshold", "1021", "0 to 1020"},
      {"--softness", "7x", "0 to 100"},
      {"--softness", "", "0 to 100"},
      {"--softness", " 7", "0 to 100"},
      {"--softness", "+7", "0 to 100"},
      {"--softness", "7.0", "0 to 100"},
      {"--bias", "0x10", "0 to 100"},
      {"--bias", "99999999999999999999", "0 to 100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Reject({"in.png", "out.png", c.option, c.value}),
              std::string(c.option) + " needs a whole number from " + c.range + ", not '" + c.value + "'");
  }
  for (const char* value :
       {"1,2", "1,2,3,4", "1,2,", ",1,2", "1,,2", "256,0,0", "0,-1,0", "a,b,c", "", "1;2;3"}) {
    EXPECT_EQ(
        Reject({"in.png", "out.png", "--key-color", value}),
        std::string("--key-color needs three numbers from 0 to 255 written R,G,B (e.g. 0,255,0), not '") +
            value + "'");
  }
}

TEST(CommandLineTest, MisusedOptionsAndFileNamesAreRejected) {
  const std::string seeHelp = "; run 'tessaline --help' for usage";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const Case cases[] = {
      {{"in.png", "out.png", "--invert"},
       "--invert only inverts a colour key; add --key-color R,G,B or drop --invert"},
      {{"in.png", "out.png", "--invert=1", "--key-color", "1,2,3"},
       "--invert takes no value, not '--invert=1'" + seeHelp},
      {{"in.png", "out.png", "--sharpness", "5"}, "unknown option '--sharpness'" + seeHelp},
      {{"in.png", "out.png", "-s"}, "unknown option '-s'" + seeHelp},
      {{"in.png", "out.png", "--softness"}, "--softness needs a value" + seeHelp},
      {{"in.png", "out.png", "--key-color"}, "--key-color needs a value" + seeHelp},
      {{}, "missing INPUT and OUTPUT file names" + seeHelp},
      {{"in.png"}, "missing OUTPUT file name" + seeHelp},
      {{"in.png", "out.png", "x.png"},
       "unexpected argument 'x.png': give exactly one INPUT and one OUTPUT" + seeHelp},
  };
  for (const Case& c : cases) EXPECT_EQ(Reject(c.args), c.error) << testing::PrintToString(c.args);
}

}  // namespace
}  // namespace tessaline::cli
