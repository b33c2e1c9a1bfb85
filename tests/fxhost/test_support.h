#pragma once
// What the host's tests share: where the built plug-ins are, and a test base that loads the fixture
// into a fresh host and checks the accounts after every test.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ae_suites.h"
#include "fixture_behaviour.h"
#include "sp_basic_suite.h"
#include "fxhost/host.h"
#include "fxhost/host_error.h"

namespace fxhost_test {

// A file beside the test program (the built plug-ins are put there).
std::string besideTests(const std::string& file);
std::string fixturePath();

// Whether `messages` has one containing `part`.
bool anyContains(const std::vector<std::string>& messages, const std::string& part);

class FixtureTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Shuts the plug-in down and requires balanced accounts, unless a test has taken them over.
  void TearDown() override;

  // Global and parameter setup, both required to succeed.
  void setUpPlugin();
  void setLeak(int leak);
  void setPreRenderMode(int mode);
  // The accounts after shutdown; the test then judges them itself.
  fxhost::AccountsReport finalAccounts();

  std::unique_ptr<fxhost::Host> host;

 private:
  bool accountsTaken_ = false;
};

// For tests that call the host's suites and callbacks themselves, with the blocks of a first
// command (whose tables stay valid for the host's life).
class DirectTest : public FixtureTest {
 protected:
  void SetUp() override;

  const PF_InData* in = nullptr;
  SPBasicSuite* basic = nullptr;
  PF_UtilCallbacks* utils = nullptr;

  template <typename Table>
  const Table* acquire(const char* name, A_long version) {
    const void* table = nullptr;
    EXPECT_EQ(basic->AcquireSuite(name, version, &table), kSPNoError) << name << " " << version;
    return static_cast<const Table*>(table);
  }
};

}  // namespace fxhost_test
