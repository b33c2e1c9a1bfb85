// The accounts catch each kind of imbalance when the fixture is told to commit it.

#include "render_support.h"
#include "test_support.h"

namespace {

using fxhost_test::FixtureTest;

struct LeakCase {
  const char* name;
  int leak;
  std::vector<std::string> imbalances;  // after one PF_Cmd_ABOUT with the leak, then shutdown
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
        LeakCase{"Handle", fixture::kLeakHandle,
                 {"a handle of 16 bytes allocated during PF_Cmd_ABOUT was never disposed of"}},
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
            (std::vector<std::string>{
                "PF_Cmd_ABOUT: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released",
                "PF_Cmd_UPDATE_PARAMS_UI: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released"}));
}

TEST_F(AccountsTest, ARenderCanBeToldToLeakByItsAmount) {
  setUpPlugin();
  fxhost::OwnedWorld input(fxhost::PixelDepth::Eight, 2, 2);
  fxhost::OwnedWorld output(fxhost::PixelDepth::Eight, 2, 2);
  host->param(fixture::kAmount).u.sd.value = fixture::kLeakByAmount + fixture::kLeakHandle;
  ASSERT_EQ(host->render(input, output), PF_Err_NONE);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"a handle of 16 bytes allocated during PF_Cmd_RENDER was never disposed of"});
}

TEST_F(AccountsTest, CheckoutsThatLapseInASmartRenderAreImbalances) {
  setUpPlugin();
  fxhost::OwnedWorld input(fxhost::PixelDepth::Eight, 2, 2);
  fxhost::OwnedWorld output(fxhost::PixelDepth::Eight, 2, 2);
  host->param(fixture::kAmount).u.sd.value = fixture::kLeakByAmount + fixture::kLeakParam;
  ASSERT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  // The same checkout lapses after the pre-render but is an imbalance after the render.
  const fxhost::AccountsReport accounts = finalAccounts();
  EXPECT_EQ(accounts.imbalances,
            std::vector<std::string>{"PF_Cmd_SMART_RENDER: parameter 1 checked out and never checked in"});
  EXPECT_EQ(accounts.lapsedCheckouts, 7);
}

TEST_F(AccountsTest, TheReportCountsWhatHappened) {
  setUpPlugin();
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const fxhost::AccountsReport accounts = finalAccounts();
  EXPECT_TRUE(accounts.balanced());
  EXPECT_EQ(accounts.commands, 5);
  EXPECT_EQ(accounts.handlesAllocated, 2);
  EXPECT_EQ(accounts.handlesDisposed, 2);
  EXPECT_EQ(accounts.handlesLive, 0);
  EXPECT_EQ(accounts.handleLocks, 1);
  EXPECT_EQ(accounts.handleUnlocks, 1);
  ASSERT_EQ(accounts.suites.size(), 0u);
  EXPECT_EQ(accounts.text(),
            "accounts: 5 command(s)\n"
            "  parameters: checked out 0, checked in 0, lapsed 0\n"
            "  handles: allocated 2, disposed 2, live 0, locks 1, unlocks 1\n"
            "  worlds: created 0, disposed 0\n"
            "  blocks: allocated 0, freed 0\n"
            "balanced\n");
}

}  // namespace
