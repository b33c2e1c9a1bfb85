// Smart renders sent from several threads at once, and the commands that must run alone.

#include <semaphore>
#include <thread>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::Call;
using fxhost_test::Strings;
using ConcurrencyTest = fxhost_test::HostTest;

// Four frames render at once, each at its own time. The pre-renders of frames 0 and 2 acquire a
// suite, check a parameter out and lock a handle; while they are still inside, the renders of
// frames 1 and 3 release that suite, check that definition in and unlock that handle. Each command
// answers for its own calls only, so each of these is an imbalance of the command that made it.
// (That every frame comes out as its own, values and pixels, the real plug-in's entry_tests see.)
TEST_F(ConcurrencyTest, EachThreadsCommandAnswersForItsOwnCalls) {
  constexpr int kFrames = 4;
  setUpPlugin();
  PF_UtilCallbacks* utils = host->lastInData().utils;
  const PF_Handle shared = utils->host_new_handle(4);
  PF_ParamDef borrowed{};
  struct Pair {
    std::binary_semaphore acted{0}, answered{0};
  } pairs[2];
  takeOver([&](const Call& call) -> PF_Err {
    const A_long k = call.in->current_time;
    Pair& pair = pairs[k / 2];
    const auto wait = [](std::binary_semaphore& signal) { return signal.try_acquire_for(std::chrono::seconds(10)); };
    if (k % 2 == 0 && call.command == PF_Cmd_SMART_PRE_RENDER) {
      const void* table = nullptr;
      if (k == 0) call.in->pica_basicP->AcquireSuite(kPFWorldSuite, 1, &table);
      if (k == 0) call.in->inter.checkout_param(call.in->effect_ref, fixture::kAmount, k, 1, 24, &borrowed);
      if (k == 2) call.in->utils->host_lock_handle(shared);
      pair.acted.release();
      // A host that ran one command at a time would never let the partner act: the frame fails
      // rather than hangs.
      if (!wait(pair.answered)) return PF_Interrupt_CANCEL;
    }
    if (k % 2 == 1 && call.command == PF_Cmd_SMART_RENDER) {
      if (!wait(pair.acted)) return PF_Interrupt_CANCEL;
      if (k == 1) call.in->pica_basicP->ReleaseSuite(kPFWorldSuite, 1);
      if (k == 1) call.in->inter.checkin_param(call.in->effect_ref, &borrowed);
      if (k == 3) call.in->utils->host_unlock_handle(shared);
      pair.answered.release();
    }
    return fixture::kBuiltIn;
  });
  OwnedWorld input(PixelDepth::Eight, 16, 8);
  std::vector<std::unique_ptr<OwnedWorld>> outputs;
  std::vector<std::string> refusals(kFrames);
  std::vector<PF_Err> results(kFrames, -1);
  std::vector<std::thread> threads;
  for (int k = 0; k < kFrames; ++k) {
    outputs.push_back(std::make_unique<OwnedWorld>(PixelDepth::Eight, 16, 8));
    threads.emplace_back([&, k, &output = *outputs.back()] {
      try {
        results[k] = host->renderSmart(input, output, k);
      } catch (const fxhost::HostError& refused) {
        refusals[k] = refused.what();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int k = 0; k < kFrames; ++k) EXPECT_EQ(results[k], PF_Err_NONE) << k << refusals[k];
  utils->host_dispose_handle(shared);
  Strings booked = finalAccounts().imbalances;
  std::sort(booked.begin(), booked.end());
  EXPECT_EQ(
      booked,
      (Strings{"PF_Cmd_SMART_PRE_RENDER: a handle of 4 bytes locked 1 time(s) more than unlocked",
               "PF_Cmd_SMART_PRE_RENDER: parameter 1 checked out and never checked in",
               "PF_Cmd_SMART_PRE_RENDER: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released",
               "PF_Cmd_SMART_RENDER: a handle of 4 bytes unlocked more often than locked",
               "PF_Cmd_SMART_RENDER: check-in of a parameter definition that was not checked out",
               "PF_Cmd_SMART_RENDER: suite \"PF World Suite\" version 1 released but not held"}));
}

// Only smart renders run side by side; a command sent from inside another is refused too.
using OverlapTest = fxhost_test::HostTest;

TEST_F(OverlapTest, OnlySmartRendersRunSideBySide) {
  const char* busy = "a command cannot be sent while another one runs";
  const std::tuple<PF_Cmd, PF_Cmd, bool, const char*> cases[] = {  // running, sent, from the same thread
      {PF_Cmd_SMART_RENDER, PF_Cmd_SMART_PRE_RENDER, false, ""},
      {PF_Cmd_SMART_PRE_RENDER, PF_Cmd_SMART_PRE_RENDER, false, ""},
      {PF_Cmd_SMART_RENDER, PF_Cmd_ABOUT, false, busy},
      {PF_Cmd_ABOUT, PF_Cmd_SMART_RENDER, false, busy},
      {PF_Cmd_RENDER, PF_Cmd_GLOBAL_SETUP, false, busy},
      {PF_Cmd_SMART_RENDER, PF_Cmd_SMART_RENDER, true, "a command cannot be sent from inside another command"},
  };
  for (const auto& [running, sent, sameThread, refusal] : cases) {
    std::string refused;
    const auto send = [&, sent = sent] {
      refused = fxhost_test::hostErrorOf([&] { inCommand(sent, [](PF_InData&, PF_OutData&) {}); });
    };
    inCommand(running, [&, sameThread = sameThread](PF_InData&, PF_OutData&) {
      sameThread ? send() : std::thread(send).join();
    });
    EXPECT_EQ(refused, refusal) << fxhost::commandName(running) << ", " << fxhost::commandName(sent);
  }
  EXPECT_EQ(inCommand(PF_Cmd_ABOUT, [](PF_InData&, PF_OutData&) {}), PF_Err_NONE);
}

}  // namespace
