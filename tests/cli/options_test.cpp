#include "options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessaline::cli {
namespace {

using Action = CommandLine::Action;

// INPUT, OUTPUT and every setting that differs from the defaults, which are the effect's own:
// threshold 10, softness 70, bias 0, key black (alpha 255), key threshold 0, no key.
std::string Describe(const Options& o) {
  const Params& p = o.params;
  std::ostringstream s;
  s << o.input.text << " " << o.output.text;
  const auto show = [&](const char* name, const auto& value, const auto& standard) {
    if (value != standard) s << " " << name << "=" << value;
  };
  show("threshold", p.colorThreshold, 10);
  show("softness", p.softness, 70);
  show("bias", p.bias, 0);
  show("key", testing::PrintToString(std::vector<int>(p.keyColor, p.keyColor + 4)), std::string("{ 255, 0, 0, 0 }"));
  show("within", p.keyColorThreshold, 0);
  show("mode", std::string(o.mode == SourceMode::Key ? "key" : o.mode == SourceMode::KeyInvert ? "invert" : "plain"),
       std::string("plain"));
  show("via-plugin", o.viaPlugin, false);
  show("via-ofx", o.viaOfx, false);
  show("part", o.part, std::string());
  show("edges", o.edges ? o.edges->text : "", std::string());
  show("frames", testing::PrintToString(o.frames.value_or(std::vector<int>{})), std::string("{}"));
  show("chunk", o.chunk ? std::to_string(o.chunk->index) + "/" + std::to_string(o.chunk->count) : "", std::string());
  show("threads", o.threads, 0);
  show("strict", o.strict, false);
  show("skip", o.skipExisting, false);
  show("quiet", o.quiet, false);
  return s.str();
}

TEST(CommandLineTest, AcceptedCommandLines) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"in.png", "out.png"}, "in.png out.png"},
      // Every option at its range ends, in both spellings.
      {{"in.png", "out.png", "--color-threshold", "1020", "--softness", "0", "--bias", "100", "--key-color", "0,0,0",
        "--key-color-threshold", "1020"},
       "in.png out.png threshold=1020 softness=0 bias=100 within=1020 mode=key"},
      {{"in.png", "out.png", "--color-threshold=1", "--softness=100", "--bias=0", "--key-color=#0C00ff",
        "--key-color-threshold=0"},
       "in.png out.png threshold=1 softness=100 key={ 255, 12, 0, 255 } mode=key"},
      {{"in.png", "out.png", "--key-color", "12,0,255"}, "in.png out.png key={ 255, 12, 0, 255 } mode=key"},
      {{"in.png", "out.png", "--invert", "--key-color=1,2,3"}, "in.png out.png key={ 255, 1, 2, 3 } mode=invert"},
      {{"in.png", "--via-plugin", "out.png"}, "in.png out.png via-plugin=1"},
      {{"in.png", "out.png", "--via-ofx"}, "in.png out.png via-ofx=1"},
      // File names anywhere, and after "--" even when they look like options.
      {{"--softness", "3", "a.tif", "--bias=4", "b.tif"}, "a.tif b.tif softness=3 bias=4"},
      {{"--", "-in.png", "--softness"}, "-in.png --softness"},
      // Shots.
      {{"a.####.exr", "b.%04d.exr"}, "a.####.exr b.%04d.exr"},
      {{"a.####.exr", "b.@@.exr", "--frames=5,1-3", "--chunk", "2/4", "--threads", "3", "--part", "beauty", "--edges",
        "e.####.png", "--strict", "--skip-existing", "--quiet"},
       "a.####.exr b.@@.exr part=beauty edges=e.####.png frames={ 1, 2, 3, 5 } chunk=2/4 threads=3 strict=1 skip=1 quiet=1"},
      {{"a.png", "b.png", "--threads=1024", "--edges=e.png", "--skip-existing", "--part=diffuse.RGBA"},
       "a.png b.png part=diffuse.RGBA edges=e.png threads=1024 skip=1"},
  };
  for (const auto& [args, options] : cases) {
    const CommandLine result = ParseCommandLine(args);
    EXPECT_EQ(result.action, Action::Run) << result.error;
    EXPECT_EQ(Describe(result.options), options);
  }
  EXPECT_EQ(ParseCommandLine({"in.png", "-h"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
  EXPECT_EQ(ParseCommandLine({"x", "--version", "--bad"}).action, Action::Version);
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
      {{"in.png", "out.png", "--bias", "5", "--bias=9"}, "--bias is given twice; give each option once"},
      {{"in.png", "out.png", "--quiet", "--quiet"}, "--quiet is given twice; give each option once"},
      {{"in.png", "out.png", "--sharpness", "5"}, "unknown option '--sharpness'" + seeHelp},
      {{"in.png", "out.png", "-s"}, "unknown option '-s'" + seeHelp},
      {{"in.png", "out.png", "--softness"}, "--softness needs a value" + seeHelp},
      {{"in.png", "out.png", "--key-color"}, "--key-color needs a value" + seeHelp},
      {{"in.png", "out.png", "--edges", "--quiet"}, "--edges needs a value" + seeHelp},
      {{"in.png", "out.png", "--part="}, "--part needs a value" + seeHelp},
      {{"in.png", "out.png", "--via-ofx", "--via-plugin"},
       "--via-plugin and --via-ofx each choose a plug-in to render through; give one of them"},
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
