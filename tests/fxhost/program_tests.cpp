// fxhost.exe end to end: frames through the fixture plug-in over its standard streams.

#include <windows.h>

#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>

#include "fxhost/frame_protocol.h"
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

// A painted frame with slots for the fixture's six parameters: amount, enable, tint, group, gain,
// group end.
FrameRequest frame(PixelDepth depth, std::uint32_t width, std::uint32_t height, std::uint32_t amount = 25) {
  fxhost::OwnedWorld picture(depth, static_cast<A_long>(width), static_cast<A_long>(height));
  fxhost_test::paint(picture);
  return FrameRequest{depth, width, height, {amount, 1, 0x04030201, 0, std::bit_cast<std::uint32_t>(0.5f), 0},
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

TEST(Program, RendersFramesOfEveryDepthInOneRun) {
  const std::vector<FrameRequest> requests{frame(PixelDepth::Eight, 3, 2), frame(PixelDepth::Sixteen, 2, 3),
                                           frame(PixelDepth::Float, 4, 1)};
  const ProgramRun run = runProgram("--pad-input 8 --pad-output 4 render", stream(requests));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 3u);
  const char* formats[] = {"argb", "ae16", "ae32"};
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].status, 0);
    EXPECT_EQ(all[i].depth, requests[i].depth);
    EXPECT_EQ(all[i].width, requests[i].width);
    EXPECT_EQ(all[i].height, requests[i].height);
    EXPECT_EQ(all[i].message, std::string("amount=25 enable=1 tint=1,2,3,4 gain=0.50 format=") + formats[i]);
    EXPECT_EQ(all[i].pixels, requests[i].pixels);
  }
  EXPECT_TRUE(contains(run.err, "PF_Cmd_SMART_RENDER: suite \"PF World Transform Suite\" version 1: acquired 3, released 3"))
      << run.err;
  EXPECT_TRUE(run.err.ends_with("balanced\n")) << run.err;
}

TEST(Program, RendersWithTheClassicCommandWhenAsked) {
  const ProgramRun run = runProgram("--classic render", stream({frame(PixelDepth::Eight, 2, 2)}));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].status, 0);
  EXPECT_TRUE(contains(run.err, "PF_Cmd_RENDER: suite")) << run.err;
  EXPECT_TRUE(contains(run.err, "parameters: checked out 6, checked in 6, lapsed 0")) << run.err;
}

// A frame with the wrong slots fails and the stream goes on; a malformed frame ends the run.
TEST(Program, ABadFrameFailsAndAMalformedStreamEndsTheRun) {
  FrameRequest wrong = frame(PixelDepth::Eight, 1, 1);
  wrong.slots.pop_back();
  Bytes bytes = stream({wrong, frame(PixelDepth::Eight, 1, 1)});
  const Bytes garbage{'J', 'U', 'N', 'K', 0, 0, 0, 0};
  bytes.insert(bytes.end(), garbage.begin(), garbage.end());
  const ProgramRun run = runProgram("render", bytes);
  EXPECT_EQ(run.exitCode, 2u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].status, kStatusParamCount);
  EXPECT_EQ(all[0].message, "expected 6 parameter slots, got 5");
  EXPECT_TRUE(all[0].pixels.empty());
  EXPECT_EQ(all[1].status, 0);
  EXPECT_EQ(all[2].status, kStatusMalformed);
  EXPECT_EQ(all[2].message, "bad magic 0x4B4E554A");
}

// The plug-in's error is the frame's status; an imbalance (here a handle leaked in the pre-render)
// fails the run.
TEST(Program, APluginErrorIsTheFramesStatusAndAnImbalanceFailsTheRun) {
  const ProgramRun run = runProgram("--refuse-suite \"PF World Transform Suite:1\" render",
                                    stream({frame(PixelDepth::Eight, 1, 1, fixture::kLeakByAmount + fixture::kLeakHandle)}));
  EXPECT_EQ(run.exitCode, 3u) << run.err;
  EXPECT_TRUE(contains(run.err, "a handle of 16 bytes allocated during PF_Cmd_SMART_PRE_RENDER was never disposed of"))
      << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].status, kSPSuiteNotFoundError);
  EXPECT_TRUE(all[0].pixels.empty());
}

TEST(Program, RunsWithoutFrames) {
  const ProgramRun empty = runProgram("render");
  EXPECT_EQ(empty.exitCode, 0u) << empty.err;
  EXPECT_TRUE(empty.out.empty());
  EXPECT_TRUE(contains(empty.err, "accounts: 5 command(s)")) << empty.err;
  const ProgramRun info = runProgram("info");
  EXPECT_EQ(info.exitCode, 0u) << info.err;
  const std::string text(info.out.begin(), info.out.end());
  for (const char* line : {"name: fxhost fixture\n", "entry point: FixtureEntry\n", "out flags 2: 0x801400\n"}) {
    EXPECT_TRUE(contains(text, line)) << text;
  }
}

// Frame k renders at its own time with its own values: on four threads the replies are the same
// bytes, in the same order, as on one.
TEST(Program, RendersTheSameBytesOnFourThreadsAsOnOne) {
  std::vector<FrameRequest> requests;
  const PixelDepth depths[] = {PixelDepth::Eight, PixelDepth::Sixteen, PixelDepth::Float};
  for (std::uint32_t k = 0; k < 24; ++k) requests.push_back(frame(depths[k % 3], 3 + k % 5, 2 + k % 3, k));
  requests[5].slots.pop_back();
  const Bytes input = stream(requests);
  const ProgramRun one = runProgram("render --threads 1", input);
  const ProgramRun four = runProgram("--threads 4 render", input);
  EXPECT_EQ(one.exitCode, 0u) << one.err;
  EXPECT_EQ(four.exitCode, 0u) << four.err;
  EXPECT_EQ(four.out, one.out);
  const std::vector<FrameReply> all = replies(one.out);
  ASSERT_EQ(all.size(), requests.size());
  EXPECT_EQ(all[5].status, kStatusParamCount);
  const char* formats[] = {"argb", "ae16", "ae32"};
  for (std::size_t k = 0; k < all.size(); ++k) {
    if (k == 5) continue;
    EXPECT_EQ(all[k].message,
              "amount=" + std::to_string(k) + " enable=1 tint=1,2,3,4 gain=0.50 format=" + formats[k % 3]);
    EXPECT_EQ(all[k].pixels, requests[k].pixels) << k;
  }
}

// One JSON object of what global, parameter and sequence setup, the flattened data and the about
// text showed; the plug-in's texts read as code page 932 and escaped. -L is the plug-in's.
TEST(Program, DescribesThePluginAsJson) {
  const ProgramRun run = runProgram("-L ja_JP describe --shift -L x");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::string json(run.out.begin(), run.out.end());
  const std::string parts[] = {
      R"({"pipl":{"properties":[{"vendor":"8BIM","key":"kind","id":0,"data":"544b4665"},)",
      R"("kind":"eFKT","name":"fxhost fixture","category":"TESTS","match_name":"FXHOST FIXTURE",)",
      R"("my_version":524289,"my_version_hex":"0x00080001","out_flags":100663328,"out_flags_hex":"0x06000020",)",
      R"("num_params":7,"params":[{"index":1,"type":1,"type_name":"PF_Param_SLIDER","name":"amount",)"
      R"("name_hex":"616d6f756e74","id":1,"flags":0,"ui_flags":0,"value":50,"valid_min":0,"valid_max":2000,)",
      R"("flags":64,"ui_flags":0,"value":1,"default":1,"label":"on \"x\"\\\t)" "\xE3\x81\x82" R"("},)",
      R"("value":{"alpha":255,"red":10,"green":20,"blue":30},)",
      R"("flat_sequence_data":"465853510100000001000000",)",
      R"("about":"fixture en_US 13.28 shift","about_hex":"6669787475726520656e5f55532031332e3238207368696674",)",
      R"("results":{"PF_Cmd_GLOBAL_SETUP":"PF_Err_NONE","PF_Cmd_PARAMS_SETUP":"PF_Err_NONE",)",
      R"("PF_Cmd_GLOBAL_SETDOWN":"PF_Err_NONE"},"accounts":{"balanced":true,"imbalances":[]}})" "\n",
  };
  for (const std::string& part : parts) EXPECT_TRUE(contains(json, part)) << part << "\nin " << json;
  EXPECT_TRUE(json.ends_with(parts[std::size(parts) - 1]));
}

TEST(Program, APluginThatCannotLoadOrABadCommandLineEndsTheRun) {
  const std::string badEntry = fxhost_test::besideTests("fxhost_fixture_bad_entry.aex");
  for (const char* mode : {"render", "describe"}) {
    const ProgramRun unloadable = runProgram(mode, {}, badEntry);
    EXPECT_EQ(unloadable.exitCode, 1u);
    EXPECT_TRUE(contains(unloadable.err, "exports no entry point \"NoSuchEntry\"")) << unloadable.err;
  }
  const std::pair<const char*, const char*> badLines[] = {
      {"--version 13 render", "fxhost: --version expects MAJOR.MINOR, not \"13\"\nusage: fxhost"},
      {"--threads 0 render", "fxhost: --threads expects 1 to 64\n"},
      {"--threads 2 describe", "fxhost: --threads applies to render only\n"},
      {"--classic --threads 2 render", "fxhost: --classic renders one frame at a time; --threads must be 1\n"},
      {"render -L", "fxhost: -L needs a value\n"},
  };
  for (const auto& [line, error] : badLines) {
    const ProgramRun run = runProgram(line);
    EXPECT_EQ(run.exitCode, 1u) << line;
    EXPECT_TRUE(run.err.starts_with(error)) << run.err;
  }
  const ProgramRun help = runProgram("--help");
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_TRUE(std::string(help.out.begin(), help.out.end()).starts_with("usage: fxhost PLUGIN.aex MODE [options]\n"));
}

}  // namespace
