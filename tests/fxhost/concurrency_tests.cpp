// Smart renders sent from several threads at once, and the commands that must run alone.

#include <atomic>
#include <thread>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::FixtureTest;
using Strings = std::vector<std::string>;

constexpr int kFrames = 40;
constexpr int kLeakFrame = 17;  // its commands leave the global data locked

struct Frame {
  PF_Err result = -1;
  std::string message;
  bool copied = false;  // the output is this frame's own input
  bool operator==(const Frame&) const = default;
};

// Frame k renders at time 2k. Its amount is keyed at that time, "enable" only every third frame
// (and held in between), "tint" never.
std::string expectedMessage(int k) {
  const int amount = k == kLeakFrame ? fixture::kLeakByAmount + fixture::kLeakLock : k;
  return "amount=" + std::to_string(amount) + " enable=" + std::to_string(k / 3 * 3 % 2) +
         " tint=255,10,20,30 gain=1.50 format=argb";
}

class ConcurrentRenderTest : public FixtureTest {
 protected:
  void SetUp() override {
    FixtureTest::SetUp();
    setUpPlugin();
    PF_ParamDefUnion amount = host->param(fixture::kAmount).u, enable = host->param(fixture::kEnable).u;
    for (int k = 0; k < kFrames; ++k) {
      amount.sd.value = k == kLeakFrame ? fixture::kLeakByAmount + fixture::kLeakLock : k;
      host->setKeyframe(2 * k, fixture::kAmount, amount);
      enable.bd.value = k % 2;
      if (k % 3 == 0) host->setKeyframe(2 * k, fixture::kEnable, enable);
    }
  }

  // Every frame, on `threads` threads that each take the next frame when done with one.
  std::vector<Frame> renderAll(int threads) {
    std::vector<Frame> frames(kFrames);
    std::atomic<int> next{0};
    const auto work = [&] {
      for (int k = next++; k < kFrames; k = next++) {
        OwnedWorld input(PixelDepth::Eight, 16, 8), output(PixelDepth::Eight, 16, 8);
        fxhost_test::paint(input);
        input.row(0)[0] = static_cast<std::uint8_t>(k);
        Frame& frame = frames[static_cast<std::size_t>(k)];
        frame.result = host->renderSmart(input, output, 2 * k, &frame.message);
        frame.copied = output.packedPixels() == input.packedPixels();
      }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i) pool.emplace_back(work);
    for (std::thread& thread : pool) thread.join();
    return frames;
  }
};

TEST_F(ConcurrentRenderTest, EveryFrameIsRenderedAsIfAlone) {
  const std::vector<Frame> alone = renderAll(1);
  for (int k = 0; k < kFrames; ++k) {
    EXPECT_EQ(alone[static_cast<std::size_t>(k)], (Frame{PF_Err_NONE, expectedMessage(k), true})) << k;
  }
  // The first four pre-renders wait inside the plug-in until all four are there.
  setMode(fixture::kSetRendezvousExport, 4);
  EXPECT_EQ(renderAll(4), alone);
  // The leaking frame's lock is booked for its own two commands, in each run, and no other's.
  const std::string leak = ": a handle of 4 bytes locked 1 time(s) more than unlocked";
  EXPECT_EQ(finalAccounts().imbalances,
            (Strings{"PF_Cmd_SMART_PRE_RENDER" + leak, "PF_Cmd_SMART_RENDER" + leak, "PF_Cmd_SMART_PRE_RENDER" + leak,
                     "PF_Cmd_SMART_RENDER" + leak,
                     "PF_Cmd_GLOBAL_SETDOWN: host_dispose_handle of a handle still locked 4 time(s)"}));
}

// Only smart renders run side by side; a command sent from inside another is refused too.
using OverlapTest = FixtureTest;

TEST_F(OverlapTest, OnlySmartRendersRunSideBySide) {
  struct Case {
    PF_Cmd running;
    PF_Cmd sent;
    bool sameThread;
    const char* refusal;
  };
  const char* busy = "a command cannot be sent while another one runs";
  const Case cases[] = {
      {PF_Cmd_SMART_RENDER, PF_Cmd_SMART_PRE_RENDER, false, ""},
      {PF_Cmd_SMART_PRE_RENDER, PF_Cmd_SMART_PRE_RENDER, false, ""},
      {PF_Cmd_SMART_RENDER, PF_Cmd_ABOUT, false, busy},
      {PF_Cmd_ABOUT, PF_Cmd_SMART_RENDER, false, busy},
      {PF_Cmd_RENDER, PF_Cmd_GLOBAL_SETUP, false, busy},
      {PF_Cmd_SMART_RENDER, PF_Cmd_SMART_RENDER, true, "a command cannot be sent from inside another command"},
  };
  for (const Case& test : cases) {
    std::string refusal;
    const auto send = [&] {
      try {
        host->runInProcess(test.sent, [](PF_InData&, PF_OutData&) { return PF_Err_NONE; });
      } catch (const fxhost::HostError& error) {
        refusal = error.what();
      }
    };
    ASSERT_EQ(host->runInProcess(test.running,
                                 [&](PF_InData&, PF_OutData&) {
                                   test.sameThread ? send() : std::thread(send).join();
                                   return PF_Err_NONE;
                                 }),
              PF_Err_NONE);
    EXPECT_EQ(refusal, test.refusal) << fxhost::commandName(test.running) << ", " << fxhost::commandName(test.sent);
  }
  EXPECT_EQ(host->about(), PF_Err_NONE);
}

}  // namespace
