// The accounts on their own, fed events directly.

#include <gtest/gtest.h>

#include "fxhost/accounts.h"

namespace {

TEST(Accounts, NamesCommands) {
  EXPECT_EQ(fxhost::commandName(PF_Cmd_ABOUT), "PF_Cmd_ABOUT");
  EXPECT_EQ(fxhost::commandName(PF_Cmd_SMART_RENDER), "PF_Cmd_SMART_RENDER");
  EXPECT_EQ(fxhost::commandName(PF_Cmd_GPU_DEVICE_SETDOWN), "PF_Cmd_GPU_DEVICE_SETDOWN");
  EXPECT_EQ(fxhost::commandName(40), "PF_Cmd_#40");
  EXPECT_EQ(fxhost::commandName(-3), "PF_Cmd_#-3");
}

TEST(Accounts, ABalancedCommandLeavesNothing) {
  fxhost::Accounts accounts;
  accounts.beginCommand(PF_Cmd_RENDER);
  accounts.suiteAcquired("PF World Suite", 1);
  accounts.suiteAcquired("PF World Suite", 1);
  accounts.suiteReleased("PF World Suite", 1);
  accounts.suiteReleased("PF World Suite", 1);
  PF_ParamDef def{};
  accounts.paramCheckedOut(&def, 4);
  EXPECT_EQ(accounts.paramCheckedIn(&def), 4);
  int world = 0;
  accounts.worldCreated(&world);
  EXPECT_TRUE(accounts.worldDisposed(&world));
  accounts.endCommand();
  const fxhost::AccountsReport report = accounts.report();
  EXPECT_TRUE(report.balanced());
  ASSERT_EQ(report.suites.size(), 1u);
  EXPECT_EQ(report.suites[0].command, PF_Cmd_RENDER);
  EXPECT_EQ(report.suites[0].acquired, 2);
  EXPECT_EQ(report.suites[0].released, 2);
}

TEST(Accounts, VersionsOfOneSuiteAreSeparate) {
  fxhost::Accounts accounts;
  accounts.beginCommand(PF_Cmd_RENDER);
  accounts.suiteAcquired("PF World Suite", 1);
  EXPECT_FALSE(accounts.suiteReleased("PF World Suite", 2));
  accounts.endCommand();
  EXPECT_EQ(accounts.report().imbalances,
            (std::vector<std::string>{"PF_Cmd_RENDER: suite \"PF World Suite\" version 2 released but not held",
                                      "PF_Cmd_RENDER: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released"}));
}

TEST(Accounts, ASuiteCannotBeReleasedInALaterCommand) {
  fxhost::Accounts accounts;
  accounts.beginCommand(PF_Cmd_SMART_PRE_RENDER);
  accounts.suiteAcquired("PF AE App Suite", 7);
  accounts.endCommand();
  accounts.beginCommand(PF_Cmd_SMART_RENDER);
  EXPECT_FALSE(accounts.suiteReleased("PF AE App Suite", 7));
  accounts.endCommand();
  EXPECT_EQ(accounts.report().imbalances.size(), 2u);
}

TEST(Accounts, CheckoutsLapseOnlyInASmartPreRender) {
  fxhost::Accounts accounts;
  PF_ParamDef def{};
  accounts.beginCommand(PF_Cmd_SMART_PRE_RENDER);
  accounts.paramCheckedOut(&def, 1);
  accounts.paramCheckedOut(&def, 2);
  accounts.endCommand();
  accounts.beginCommand(PF_Cmd_UPDATE_PARAMS_UI);
  accounts.paramCheckedOut(&def, 3);
  accounts.endCommand();
  const fxhost::AccountsReport report = accounts.report();
  EXPECT_EQ(report.lapsedCheckouts, 2);
  EXPECT_EQ(report.imbalances,
            std::vector<std::string>{"PF_Cmd_UPDATE_PARAMS_UI: parameter 3 checked out and never checked in"});
}

TEST(Accounts, ALeakedWorldIsReportedOnceAndMayStillBeDisposed) {
  fxhost::Accounts accounts;
  int world = 0;
  accounts.beginCommand(PF_Cmd_RENDER);
  accounts.worldCreated(&world);
  accounts.endCommand();
  accounts.beginCommand(PF_Cmd_ABOUT);
  accounts.endCommand();
  accounts.beginCommand(PF_Cmd_GLOBAL_SETDOWN);
  EXPECT_TRUE(accounts.worldDisposed(&world));
  EXPECT_FALSE(accounts.worldDisposed(&world));
  accounts.endCommand();
  EXPECT_EQ(accounts.report().imbalances,
            (std::vector<std::string>{"PF_Cmd_RENDER: a world made with new_world was not disposed of",
                                      "PF_Cmd_GLOBAL_SETDOWN: dispose_world of a world the host did not make"}));
}

TEST(Accounts, SuitesHeldBetweenCommandsAreJudgedApart) {
  fxhost::Accounts accounts;
  accounts.suiteAcquired("PF World Suite", 2);
  accounts.beginCommand(PF_Cmd_ABOUT);
  accounts.endCommand();
  EXPECT_EQ(accounts.report().imbalances,
            std::vector<std::string>{"outside any command: suite \"PF World Suite\" version 2 acquired 1 time(s) more than released"});
  EXPECT_TRUE(accounts.suiteReleased("PF World Suite", 2));
  EXPECT_TRUE(accounts.report().balanced());
}

TEST(Accounts, EndingWithoutACommandChangesNothing) {
  fxhost::Accounts accounts;
  accounts.endCommand();
  EXPECT_FALSE(accounts.inCommand());
  EXPECT_EQ(accounts.command(), -1);
  EXPECT_EQ(accounts.report().commands, 0);
}

TEST(Accounts, TheReportListsImbalancesAfterTheCounts) {
  fxhost::Accounts accounts;
  accounts.beginCommand(PF_Cmd_ABOUT);
  accounts.suiteAcquired("PF AE App Suite", 7);
  accounts.endCommand();
  accounts.handleAllocated();
  EXPECT_EQ(accounts.report().text(),
            "accounts: 1 command(s)\n"
            "  PF_Cmd_ABOUT: suite \"PF AE App Suite\" version 7: acquired 1, released 0\n"
            "  parameters: checked out 0, checked in 0, lapsed 0\n"
            "  handles: allocated 1, disposed 0, live 0, locks 0, unlocks 0\n"
            "  worlds: created 0, disposed 0\n"
            "  blocks: allocated 0, freed 0\n"
            "1 imbalance(s):\n"
            "  PF_Cmd_ABOUT: suite \"PF AE App Suite\" version 7 acquired 1 time(s) more than released\n");
}

}  // namespace
