// fxhost.exe end to end: frames through the fixture plug-in over its standard streams, what
// describe prints, and the exit codes.

#include <bit>

#include "program_run.h"
#include "test_support.h"

namespace {

using namespace fxhost::protocol;
using Bytes = std::vector<std::uint8_t>;
using fxhost::PixelDepth;
using test_support::ProgramRun;

// Runs the program on the fixture (or `plugin`) with `arguments`.
ProgramRun runProgram(const std::string& arguments, const Bytes& input = {},
                      const std::string& plugin = fxhost_test::fixturePath()) {
  return test_support::runProgram(std::string("\"") + FXHOST_PROGRAM_PATH + "\" \"" + plugin + "\" " + arguments,
                                  fxhost_test::besideTests("fxhost_program_run."), input);
}

// A painted frame with slots for the fixture's parameters: amount, enable, tint, gain.
FrameRequest frame(PixelDepth depth, std::uint32_t width, std::uint32_t height, std::uint32_t amount) {
  fxhost::OwnedWorld picture(depth, static_cast<A_long>(width), static_cast<A_long>(height));
  fxhost_test::paint(picture);
  return FrameRequest{depth, width, height, {}, {amount, 1, 0x04030201, std::bit_cast<std::uint32_t>(0.5f)},
                      picture.packedPixels()};
}

Bytes stream(const std::vector<FrameRequest>& requests) {
  Bytes bytes;
  for (const FrameRequest& request : requests) {
    const Bytes encoded = encodeRequest(request);
    bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  }
  return bytes;
}

std::vector<FrameReply> replies(const Bytes& bytes) {
  const ReadBytes read = fxhost_test::readerOf(bytes, bytes.size() + 1);
  std::vector<FrameReply> all;
  FrameReply reply;
  std::string error;
  ReadResult result;
  while ((result = readReply(read, reply, error)) == ReadResult::Frame) all.push_back(reply);
  EXPECT_EQ(result, ReadResult::End) << error;
  return all;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Frame k renders at its own time with its own values; a frame with the wrong slots fails and the
// stream goes on. One thread, four threads with padded rows and the classic command all give the
// same bytes in the same order.
TEST(Program, RendersFramesOfEveryDepthAlikeEveryWay) {
  std::vector<FrameRequest> requests;
  const PixelDepth depths[] = {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float};
  for (std::uint32_t k = 0; k < 24; ++k) requests.push_back(frame(depths[k % 3], 3 + k % 5, 2 + k % 3, k));
  requests[5].slots.pop_back();
  const Bytes input = stream(requests);
  const ProgramRun one = runProgram("render", input);
  const ProgramRun classic = runProgram("--classic render", input);
  for (const ProgramRun& run : {one, classic}) {
    EXPECT_TRUE(contains(run.err, "parameters: checked out 92, checked in 92\n")) << run.err;
  }
  for (const ProgramRun& run : {one, runProgram("--threads 4 --pad-input 8 --pad-output 4 render", input), classic}) {
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_TRUE(run.err.ends_with("balanced\n")) << run.err;
    EXPECT_EQ(run.out, one.out);
  }
  const std::vector<FrameReply> all = replies(one.out);
  ASSERT_EQ(all.size(), requests.size());
  EXPECT_EQ(std::tuple(all[5].status, all[5].message, all[5].pixels.size()),
            std::tuple(kStatusParamCount, "expected 4 parameter slots, got 3", 0u));
  for (std::size_t k = 0; k < all.size(); ++k) {
    if (k == 5) continue;
    EXPECT_EQ(std::tuple(all[k].status, all[k].depth, all[k].width, all[k].height),
              std::tuple(0, requests[k].depth, requests[k].width, requests[k].height));
    EXPECT_EQ(all[k].message, "amount=" + std::to_string(k) + " enable=1 tint=1,2,3,4 gain=0.50");
    EXPECT_EQ(all[k].pixels, requests[k].pixels) << k;
  }
}

// A malformed frame gets its reply and ends the run: exit code 2.
TEST(Program, AMalformedStreamEndsTheRun) {
  Bytes bytes = stream({frame(PixelDepth::Eight, 1, 1, 1)});
  bytes.insert(bytes.end(), {'J', 'U', 'N', 'K', 0, 0, 0, 0});
  const ProgramRun run = runProgram("render", bytes);
  EXPECT_EQ(run.exitCode, 2u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].status, 0);
  EXPECT_EQ(std::tuple(all[1].status, all[1].message), std::tuple(kStatusMalformed, "bad magic 0x4B4E554A"));
}

// The plug-in's error is the frame's status; an imbalance fails the run: exit code 3.
TEST(Program, APluginErrorIsTheFramesStatusAndAnImbalanceFailsTheRun) {
  const ProgramRun run = runProgram("--refuse-suite \"PF World Transform Suite:1\" render",
                                    stream({frame(PixelDepth::Eight, 1, 1, fixture::kLeakingAmount)}));
  EXPECT_EQ(run.exitCode, 3u) << run.err;
  EXPECT_TRUE(contains(run.err, "a handle of 16 bytes allocated during PF_Cmd_SMART_RENDER was never disposed of"))
      << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(std::tuple(all[0].status, all[0].pixels.size()), std::tuple(kSPSuiteNotFoundError, 0u));
}

// One JSON object of what global, parameter and sequence setup, the flattened data and the about
// text showed; the plug-in's texts read as code page 932 and escaped. -L is the plug-in's. A
// command that fails is in the results, and fails the run: exit code 2.
TEST(Program, DescribesThePluginAsJson) {
  const ProgramRun run = runProgram("-L ja_JP describe --shift --version 9.1 -L x");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::string json = run.outText();
  const std::string parts[] = {
      R"({"pipl":{"properties":[{"vendor":"8BIM","key":"kind","id":0,"data":"544b4665"},)",
      R"("kind":"eFKT","name":"fxhost fixture","category":"TESTS","match_name":"FXHOST FIXTURE",)",
      R"("my_version":524289,"my_version_hex":"0x00080001","out_flags":100663328,"out_flags_hex":"0x06000020",)",
      R"("num_params":5,"params":[{"index":1,"type":1,"type_name":"PF_Param_SLIDER","name":"amount",)"
      R"("name_hex":"616d6f756e74","id":1,"flags":0,"ui_flags":0,"value":50,"valid_min":0,"valid_max":2000,)",
      R"("flags":64,"ui_flags":0,"value":1,"default":1,"label":"on \"x\"\\\t\r\n\u0001)" "\xE3\x81\x82" R"("},)",
      R"("value":{"alpha":255,"red":10,"green":20,"blue":30},)",
      R"("about":"fixture en_US 9.1 shift","about_hex":"6669787475726520656e5f555320392e31207368696674",)",
      R"("results":{"PF_Cmd_GLOBAL_SETUP":"PF_Err_NONE","PF_Cmd_PARAMS_SETUP":"PF_Err_NONE",)",
      R"("PF_Cmd_GLOBAL_SETDOWN":"PF_Err_NONE"},"accounts":{"balanced":true,"imbalances":[]}})" "\n",
  };
  for (const std::string& part : parts) EXPECT_TRUE(contains(json, part)) << part << "\nin " << json;
  EXPECT_TRUE(json.ends_with(parts[std::size(parts) - 1]));
  const ProgramRun failed = runProgram("describe --refuse-suite \"PF AE App Suite:7\"");
  EXPECT_EQ(failed.exitCode, 2u) << failed.err;
  EXPECT_TRUE(contains(failed.outText(), R"("PF_Cmd_ABOUT":"kSPSuiteNotFoundError")")) << failed.outText();
  EXPECT_TRUE(contains(failed.err, "fxhost: PF_Cmd_ABOUT failed with kSPSuiteNotFoundError\n")) << failed.err;
}

// Exit code 1: a plug-in that cannot be loaded, or a bad command line; 0 for the usage, the
// property list, and a run without frames.
TEST(Program, APluginThatCannotLoadOrABadCommandLineEndsTheRun) {
  const std::string badEntry = fxhost_test::besideTests("fxhost_fixture_bad_entry.aex");
  for (const char* mode : {"render", "describe", "info"}) {
    const ProgramRun unloadable = runProgram(mode, {}, badEntry);
    EXPECT_EQ(unloadable.exitCode, std::string(mode) == "info" ? 0u : 1u) << mode;
    EXPECT_EQ(contains(unloadable.err, "exports no entry point \"NoSuchEntry\""), std::string(mode) != "info");
  }
  const std::pair<const char*, const char*> badLines[] = {
      {"--version 13 render", "fxhost: --version expects MAJOR.MINOR, not \"13\"\nusage: fxhost"},
      {"--threads 0 render", "fxhost: --threads expects 1 to 64\n"},
      {"--threads 2 describe", "fxhost: --threads applies to render only\n"},
      {"--classic --threads 2 render", "fxhost: --classic renders one frame at a time; --threads must be 1\n"},
      {"--classic --origin 1,2 render", "fxhost: --classic renders the whole layer; --request and --origin are"},
      {"--request 1,2,3 render", "fxhost: --request expects LEFT,TOP,RIGHT,BOTTOM, not \"1,2,3\"\n"},
      {"--downsample 2,65 render", "fxhost: --downsample expects numbers from 1 to 64, not \"2,65\"\n"},
      {"--shift info", "fxhost: info runs no plug-in code and takes no options\n"},
      {"render -L", "fxhost: -L needs a value\n"},
  };
  for (const auto& [line, error] : badLines) {
    const ProgramRun run = runProgram(line);
    EXPECT_EQ(run.exitCode, 1u) << line;
    EXPECT_TRUE(run.err.starts_with(error)) << run.err;
  }
  EXPECT_TRUE(runProgram("--help").outText().starts_with("usage: fxhost PLUGIN.aex MODE [options]\n"));
  const ProgramRun info = runProgram("info");
  for (const char* line : {"name: fxhost fixture\n", "entry point: FixtureEntry\n", "out flags 2: 0x801400\n"}) {
    EXPECT_TRUE(contains(info.outText(), line)) << info.outText();
  }
  const ProgramRun empty = runProgram("render");
  EXPECT_EQ(std::tuple(empty.exitCode, empty.out.size()), std::tuple(0u, 0u));
  EXPECT_TRUE(contains(empty.err, "accounts: 4 command(s)")) << empty.err;
}

}  // namespace
