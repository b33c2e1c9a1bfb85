// The accounts on their own, fed events directly.

#include <gtest/gtest.h>

#include "fxhost/accounts.h"

namespace {

using Strings = std::vector<std::string>;

TEST(Accounts, NamesCommands) {
  EXPECT_EQ(fxhost::commandName(PF_Cmd_ABOUT), "PF_Cmd_ABOUT");
  EXPECT_EQ(fxhost::commandName(PF_Cmd_SMART_RENDER), "PF_Cmd_SMART_RENDER");
  EXPECT_EQ(fxhost::commandName(PF_Cmd_GPU_DEVICE_SETDOWN), "PF_Cmd_GPU_DEVICE_SETDOWN");
  EXPECT_EQ(fxhost::commandName(40), "PF_Cmd_#40");
  EXPECT_EQ(fxhost::commandName(-3), "PF_Cmd_#-3");
}

TEST(Accounts, ABalancedCommandLeavesNothing) {
  fxhost::Accounts accounts;
  accounts.endCommand();  // without a command: changes nothing
  EXPECT_FALSE(accounts.inCommand());
  EXPECT_EQ(accounts.command(), -1);
  accounts.beginCommand(PF_Cmd_RENDER);
  for (int i = 0; i < 2; ++i) accounts.suiteAcquired("PF World Suite", 1);
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(accounts.suiteReleased("PF World Suite", 1));
  PF_ParamDef def{};
  accounts.paramCheckedOut(&def, 4);
  EXPECT_EQ(accounts.paramCheckedIn(&def), 4);
  int world = 0;
  accounts.worldCreated(&world);
  EXPECT_TRUE(accounts.worldDisposed(&world));
  accounts.endCommand();
  const fxhost::AccountsReport report = accounts.report();
  EXPECT_TRUE(report.balanced());
  EXPECT_EQ(report.commands, 1);
  ASSERT_EQ(report.suites.size(), 1u);
  EXPECT_EQ(report.suites[0].command, PF_Cmd_RENDER);
  EXPECT_EQ(report.suites[0].acquired, 2);
  EXPECT_EQ(report.suites[0].released, 2);
}

// Suites are held per version and per command; those held between commands are judged apart.
TEST(Accounts, SuitesAreBalancedByVersionAndCommand) {
  fxhost::Accounts accounts;
  accounts.beginCommand(PF_Cmd_SMART_PRE_RENDER);
  accounts.suiteAcquired("PF World Suite", 1);
  EXPECT_FALSE(accounts.suiteReleased("PF World Suite", 2));
  accounts.endCommand();
  accounts.beginCommand(PF_Cmd_SMART_RENDER);
  EXPECT_FALSE(accounts.suiteReleased("PF World Suite", 1));
  accounts.endCommand();
  accounts.suiteAcquired("PF World Suite", 2);
  const std::string outside = "outside any command: suite \"PF World Suite\" version 2 acquired 1 time(s) more than released";
  const Strings inCommands{"PF_Cmd_SMART_PRE_RENDER: suite \"PF World Suite\" version 2 released but not held",
                           "PF_Cmd_SMART_PRE_RENDER: suite \"PF World Suite\" version 1 acquired 1 time(s) more than released",
                           "PF_Cmd_SMART_RENDER: suite \"PF World Suite\" version 1 released but not held"};
  Strings all = inCommands;
  all.push_back(outside);
  EXPECT_EQ(accounts.report().imbalances, all);
  EXPECT_TRUE(accounts.suiteReleased("PF World Suite", 2));
  EXPECT_EQ(accounts.report().imbalances, inCommands);
}

TEST(Accounts, ALeakedWorldIsReportedOnceAndMayStillBeDisposed) {
  fxhost::Accounts accounts;
  int world = 0;
  for (PF_Cmd command : {PF_Cmd_RENDER, PF_Cmd_ABOUT}) {
    accounts.beginCommand(command);
    if (command == PF_Cmd_RENDER) accounts.worldCreated(&world);
    accounts.endCommand();
  }
  accounts.beginCommand(PF_Cmd_GLOBAL_SETDOWN);
  EXPECT_TRUE(accounts.worldDisposed(&world));
  EXPECT_FALSE(accounts.worldDisposed(&world));
  accounts.endCommand();
  EXPECT_EQ(accounts.report().imbalances,
            (Strings{"PF_Cmd_RENDER: a world made with new_world was not disposed of",
                     "PF_Cmd_GLOBAL_SETDOWN: dispose_world of a world the host did not make"}));
}

}  // namespace
