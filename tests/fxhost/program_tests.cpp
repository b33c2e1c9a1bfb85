// fxhost.exe end to end: frames through the fixture plug-in over its standard streams.

#include <windows.h>

#include <bit>
#include <cstring>
#include <thread>

#include "fxhost/frame_protocol.h"
#include "render_support.h"
#include "test_support.h"

namespace {

using namespace fxhost::protocol;
using Bytes = std::vector<std::uint8_t>;

struct ProgramRun {
  DWORD exitCode = 0;
  Bytes out;
  std::string err;
};

class Pipe {
 public:
  Pipe() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  }
  ~Pipe() {
    closeRead();
    closeWrite();
  }
  void closeRead() { close(read); }
  void closeWrite() { close(write); }

  HANDLE read = nullptr;
  HANDLE write = nullptr;

 private:
  static void close(HANDLE& handle) {
    if (handle != nullptr) CloseHandle(handle);
    handle = nullptr;
  }
};

Bytes drain(HANDLE handle) {
  Bytes bytes;
  std::uint8_t buffer[65536];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  return bytes;
}

// Runs the program with `arguments`, feeding `input` and collecting both output streams.
ProgramRun runProgram(const std::string& arguments, const Bytes& input) {
  Pipe in, out, err;
  SetHandleInformation(in.write, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out.read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err.read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.read;
  startup.hStdOutput = out.write;
  startup.hStdError = err.write;
  std::string commandLine = std::string("\"") + FXHOST_PROGRAM_PATH + "\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    throw std::runtime_error("cannot start " + commandLine);
  }
  in.closeRead();
  out.closeWrite();
  err.closeWrite();
  std::thread feeder([&] {
    DWORD written = 0;
    if (!input.empty()) WriteFile(in.write, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    in.closeWrite();
  });
  ProgramRun run;
  std::thread errors([&] {
    const Bytes text = drain(err.read);
    run.err.assign(text.begin(), text.end());
  });
  run.out = drain(out.read);
  feeder.join();
  errors.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

std::string pluginArgument() { return "\"" + fxhost_test::fixturePath() + "\""; }

// Slots for the fixture's six parameters: amount, enable, tint, group, gain, group end.
std::vector<std::uint32_t> fixtureSlots(std::uint32_t amount) {
  return {amount, 1, 0x04030201, 0, std::bit_cast<std::uint32_t>(0.5f), 0};
}

FrameRequest frame(fxhost::PixelDepth depth, std::uint32_t width, std::uint32_t height, std::uint32_t amount = 25) {
  FrameRequest request;
  request.depth = depth;
  request.width = width;
  request.height = height;
  request.slots = fixtureSlots(amount);
  fxhost::OwnedWorld picture(depth, static_cast<A_long>(width), static_cast<A_long>(height));
  fxhost_test::paint(picture);
  request.pixels = picture.packedPixels();
  return request;
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
  std::size_t at = 0;
  const ReadBytes read = [&](void* buffer, std::size_t count) {
    const std::size_t n = std::min(count, bytes.size() - at);
    std::memcpy(buffer, bytes.data() + at, n);
    at += n;
    return n;
  };
  std::vector<FrameReply> all;
  FrameReply reply;
  std::string error;
  ReadResult result;
  while ((result = readReply(read, reply, error)) == ReadResult::Frame) all.push_back(reply);
  EXPECT_EQ(result, ReadResult::End) << error;
  return all;
}

TEST(Program, RendersFramesOfEveryDepthInOneRun) {
  const std::vector<FrameRequest> requests{frame(fxhost::PixelDepth::Eight, 3, 2),
                                           frame(fxhost::PixelDepth::Sixteen, 2, 3),
                                           frame(fxhost::PixelDepth::Float, 4, 1)};
  const ProgramRun run = runProgram(pluginArgument() + " --pad-input 8 --pad-output 4 render", stream(requests));
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
  EXPECT_NE(run.err.find("PF_Cmd_SMART_RENDER: suite \"PF World Transform Suite\" version 1: acquired 3, released 3"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(run.err.ends_with("balanced\n")) << run.err;
}

TEST(Program, RendersWithTheClassicCommandWhenAsked) {
  const ProgramRun run = runProgram(pluginArgument() + " --classic render", stream({frame(fxhost::PixelDepth::Eight, 2, 2)}));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].status, 0);
  EXPECT_NE(run.err.find("PF_Cmd_RENDER: suite"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("parameters: checked out 6, checked in 6, lapsed 0"), std::string::npos) << run.err;
}

TEST(Program, AFrameWithTheWrongSlotsFailsAndTheStreamGoesOn) {
  FrameRequest wrong = frame(fxhost::PixelDepth::Eight, 1, 1);
  wrong.slots.pop_back();
  const ProgramRun run = runProgram(pluginArgument() + " render", stream({wrong, frame(fxhost::PixelDepth::Eight, 1, 1)}));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].status, kStatusParamCount);
  EXPECT_EQ(all[0].message, "expected 6 parameter slots, got 5");
  EXPECT_TRUE(all[0].pixels.empty());
  EXPECT_EQ(all[1].status, 0);
}

TEST(Program, APluginErrorIsTheFramesStatus) {
  const ProgramRun run = runProgram(pluginArgument() + " --refuse-suite \"PF World Transform Suite:1\" render",
                             stream({frame(fxhost::PixelDepth::Eight, 1, 1)}));
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].status, kSPSuiteNotFoundError);
  EXPECT_TRUE(all[0].pixels.empty());
}

TEST(Program, AMalformedStreamEndsTheRun) {
  Bytes bytes = stream({frame(fxhost::PixelDepth::Eight, 1, 1)});
  const Bytes garbage{'J', 'U', 'N', 'K', 0, 0, 0, 0};
  bytes.insert(bytes.end(), garbage.begin(), garbage.end());
  const ProgramRun run = runProgram(pluginArgument() + " render", bytes);
  EXPECT_EQ(run.exitCode, 2u) << run.err;
  const std::vector<FrameReply> all = replies(run.out);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].status, 0);
  EXPECT_EQ(all[1].status, kStatusMalformed);
  EXPECT_EQ(all[1].message, "bad magic 0x4B4E554A");
}

TEST(Program, AnImbalanceFailsTheRun) {
  const ProgramRun run = runProgram(pluginArgument() + " render",
                             stream({frame(fxhost::PixelDepth::Eight, 1, 1,
                                           fixture::kLeakByAmount + fixture::kLeakHandle)}));
  EXPECT_EQ(run.exitCode, 3u) << run.err;
  EXPECT_NE(run.err.find("a handle of 16 bytes allocated during PF_Cmd_SMART_PRE_RENDER was never disposed of"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(replies(run.out).size(), 1u);
}

TEST(Program, AnEmptyStreamIsACleanRun) {
  const ProgramRun run = runProgram(pluginArgument() + " render", {});
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("accounts: 5 command(s)"), std::string::npos) << run.err;
}

TEST(Program, APluginThatCannotLoadEndsTheRun) {
  const ProgramRun run = runProgram("\"" + fxhost_test::besideTests("fxhost_fixture_bad_entry.aex") + "\" render", {});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.err.find("exports no entry point \"NoSuchEntry\""), std::string::npos) << run.err;
}

TEST(Program, ABadCommandLineShowsTheUsage) {
  const ProgramRun run = runProgram(pluginArgument() + " --version 13 render", {});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.err.rfind("fxhost: --version expects MAJOR.MINOR, not \"13\"\nusage: fxhost", 0), 0u) << run.err;
}

TEST(Program, ShowsThePropertyList) {
  const ProgramRun run = runProgram(pluginArgument() + " info", {});
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  const std::string text(run.out.begin(), run.out.end());
  EXPECT_NE(text.find("name: fxhost fixture\n"), std::string::npos) << text;
  EXPECT_NE(text.find("entry point: FixtureEntry\n"), std::string::npos) << text;
  EXPECT_NE(text.find("out flags 2: 0x801400\n"), std::string::npos) << text;
}

}  // namespace
