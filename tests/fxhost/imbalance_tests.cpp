// The accounts catch each kind of imbalance: when the fixture is told to commit it, and when a
// test misuses the host's suites and callbacks directly.

#include "test_support.h"

namespace {

using fxhost_test::DirectTest;
using fxhost_test::FixtureTest;
using Strings = std::vector<std::string>;

struct LeakCase {
  const char* name;
  int leak;
  Strings imbalances;  // after one PF_Cmd_ABOUT with the leak, then shutdown
};

void PrintTo(const LeakCase& leak, std::ostream* out) { *out << leak.name; }

class ImbalanceTest : public FixtureTest, public ::testing::WithParamInterface<LeakCase> {};

TEST_P(ImbalanceTest, IsBookedForTheCommandThatCausedIt) {
  setUpPlugin();
  setLeak(GetParam().leak);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(finalAccounts().imbalances, GetParam().imbalances);
}

INSTANTIATE_TEST_SUITE_P(
    Leaks, ImbalanceTest,
    ::testing::Values(
        LeakCase{"Suite", fixture::kLeakSuite,
                 {"PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released"}},
        LeakCase{"Handle", fixture::kLeakHandle, {"a handle of 16 bytes allocated during PF_Cmd_ABOUT was never disposed of"}},
        LeakCase{"Lock", fixture::kLeakLock,
                 {"PF_Cmd_ABOUT: a handle of 4 bytes locked 1 time(s) more than unlocked",
                  "PF_Cmd_GLOBAL_SETDOWN: host_dispose_handle of a handle still locked 1 time(s)"}},
        LeakCase{"Param", fixture::kLeakParam, {"PF_Cmd_ABOUT: parameter 1 checked out and never checked in"}},
        LeakCase{"World", fixture::kLeakWorld, {"PF_Cmd_ABOUT: a world made with new_world was not disposed of"}},
        LeakCase{"ReleaseUnheld", fixture::kReleaseUnheld,
                 {"PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 released but not held"}},
        LeakCase{"ForeignHandle", fixture::kForeignHandle,
                 {"PF_Cmd_ABOUT: host_dispose_handle of a handle the host did not allocate"}},
        LeakCase{"UnlockUnlocked", fixture::kUnlockUnlocked,
                 {"PF_Cmd_ABOUT: host_unlock_handle of a handle that is not locked"}},
        LeakCase{"ForeignCheckin", fixture::kForeignCheckin,
                 {"PF_Cmd_ABOUT: check-in of a parameter definition that was not checked out"}},
        LeakCase{"ForeignEffectRef", fixture::kForeignEffectRef,
                 {"PF_Cmd_ABOUT: checkout_param called with an effect reference the host did not give"}}),
    [](const ::testing::TestParamInfo<LeakCase>& info) { return std::string(info.param.name); });

using AccountsTest = FixtureTest;

TEST_F(AccountsTest, EachCommandIsJudgedOnItsOwn) {
  setUpPlugin();
  setLeak(fixture::kLeakSuite);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  EXPECT_EQ(finalAccounts().imbalances,
            (Strings{"PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released",
                     "PF_Cmd_UPDATE_PARAMS_UI: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released"}));
}

// A render whose amount asks for a leak: a handle in the classic render; in a smart render the
// same checkout lapses after the pre-render but is an imbalance after the render.
TEST_F(AccountsTest, ARenderCanBeToldToLeakByItsAmount) {
  setUpPlugin();
  fxhost::OwnedWorld input(fxhost::PixelDepth::Eight, 2, 2), output(fxhost::PixelDepth::Eight, 2, 2);
  host->param(fixture::kAmount).u.sd.value = fixture::kLeakByAmount + fixture::kLeakHandle;
  ASSERT_EQ(host->render(input, output), PF_Err_NONE);
  host->param(fixture::kAmount).u.sd.value = fixture::kLeakByAmount + fixture::kLeakParam;
  ASSERT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  const fxhost::AccountsReport accounts = finalAccounts();
  EXPECT_EQ(accounts.imbalances, (Strings{"PF_Cmd_SMART_RENDER: parameter 1 checked out and never checked in",
                                          "a handle of 16 bytes allocated during PF_Cmd_RENDER was never disposed of"}));
  EXPECT_EQ(accounts.lapsedCheckouts, 7);
}

// One fact per line: suites per command, the counts, then the imbalances (or "balanced", which
// the program's tests see).
TEST_F(AccountsTest, TheReportCountsWhatHappened) {
  setUpPlugin();
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  setLeak(fixture::kLeakSuite);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(finalAccounts().text(),
            "accounts: 6 command(s)\n"
            "  PF_Cmd_ABOUT: suite \"PF AE App Suite\" version 7: acquired 1, released 1\n"
            "  PF_Cmd_ABOUT: suite \"PF World Suite\" version 1: acquired 1, released 0\n"
            "  parameters: checked out 0, checked in 0, lapsed 0\n"
            "  handles: allocated 2, disposed 2, live 0, locks 1, unlocks 1\n"
            "  worlds: created 0, disposed 0\n"
            "  blocks: allocated 0, freed 0\n"
            "1 imbalance(s):\n"
            "  PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released\n");
}

// Every misuse of the suites and callbacks outside a command: refused, and booked in order.
using MisuseTest = DirectTest;

TEST_F(MisuseTest, IsRefusedAndBooked) {
  int notOurs = 0;
  void* pointer = nullptr;
  PF_Handle foreign = &pointer;
  EXPECT_EQ(basic->FreeBlock(&notOurs), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(basic->ReleaseSuite(kPFWorldSuite, 1), kSPSuiteNotFoundError);
  EXPECT_EQ(utils->host_lock_handle(foreign), nullptr);
  EXPECT_EQ(utils->host_get_handle_size(foreign), 0u);
  EXPECT_EQ(utils->host_resize_handle(8, &foreign), PF_Err_BAD_CALLBACK_PARAM);
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_BAD_CALLBACK_PARAM);
  def.param_type = PF_Param_CHECKBOX;
  EXPECT_EQ(in->inter.add_param(in->effect_ref, -1, &def), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->paramCount(), 1);
  EXPECT_EQ(in->inter.checkout_param(reinterpret_cast<PF_ProgPtr>(&notOurs), 0, 0, 1, 24, &def), PF_Err_BAD_CALLBACK_PARAM);
  const auto* worlds = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  const auto* transform = acquire<PF_WorldTransformSuite1>(kPFWorldTransformSuite, 1);
  fxhost::OwnedWorld frame(fxhost::PixelDepth::Eight, 2, 2);
  EXPECT_EQ(worlds->PF_DisposeWorld(in->effect_ref, frame.world()), PF_Err_BAD_CALLBACK_PARAM);
  PF_EffectWorld stranger{};
  PF_PixelFormat format = 0;
  EXPECT_EQ(worlds->PF_GetPixelFormat(&stranger, &format), PF_Err_BAD_CALLBACK_PARAM);
  PF_EffectWorld damaged = *frame.world();
  damaged.rowbytes -= 4;
  EXPECT_EQ(transform->copy(in->effect_ref, &damaged, frame.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  basic->ReleaseSuite(kPFWorldSuite, 2);
  basic->ReleaseSuite(kPFWorldTransformSuite, 1);
  void* block = nullptr;
  ASSERT_EQ(basic->AllocateBlock(8, &block), kSPNoError);
  const std::string outside = "outside any command: ";
  EXPECT_EQ(finalAccounts().imbalances,
            (Strings{outside + "FreeBlock of a block the host did not allocate",
                     outside + "suite \"PF World Suite\" version 1 released but not held",
                     outside + "host_lock_handle of a handle the host did not allocate",
                     outside + "host_get_handle_size of a handle the host did not allocate",
                     outside + "host_resize_handle of a handle the host did not allocate",
                     outside + "check-in of a parameter definition that was not checked out",
                     outside + "add_param outside PF_Cmd_PARAMS_SETUP",
                     outside + "checkout_param called with an effect reference the host did not give",
                     outside + "dispose_world of a world the host did not make",
                     outside + "PF_GetPixelFormat of a world the host does not know",
                     outside + "copy of a world record whose size was changed",
                     "1 block(s) from AllocateBlock never freed"}));
}

}  // namespace
