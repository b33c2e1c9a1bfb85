#pragma once
// What the host's tests share: where the built plug-ins are, pictures, and a test base with a
// fresh host and the fixture loaded, whose accounts are judged after every test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ae_suites.h"
#include "fixture.h"
#include "fxhost/frame_protocol.h"
#include "fxhost/host.h"
#include "fxhost/host_error.h"
#include "sp_basic_suite.h"

namespace fxhost_test {

using Strings = std::vector<std::string>;

// Reads from a byte vector, at most `chunk` bytes per call, as a pipe may hand them out.
inline fxhost::protocol::ReadBytes readerOf(const std::vector<std::uint8_t>& bytes, std::size_t chunk = 5) {
  auto at = std::make_shared<std::size_t>(0);
  return [&bytes, at, chunk](void* buffer, std::size_t count) {
    const std::size_t n = std::min({count, chunk, bytes.size() - *at});
    std::memcpy(buffer, bytes.data() + *at, n);
    *at += n;
    return n;
  };
}

// The message of the HostError that `action` throws, or "" when it throws none.
template <typename Action>
std::string hostErrorOf(Action action) {
  try {
    action();
  } catch (const fxhost::HostError& error) {
    return error.what();
  }
  return "";
}

// Bytes that change along each row and from row to row, so that a copy that shifts anything shows.
void paint(fxhost::OwnedWorld& world);

// A file beside the test program (the built plug-ins are put there).
std::string besideTests(const std::string& file);
std::string fixturePath();

// One command as the plug-in's entry point receives it.
struct Call {
  PF_Cmd command;
  PF_InData* in;
  PF_OutData* out;
  PF_ParamDef** params;
  PF_LayerDef* output;
  void* extra;
};

class HostTest : public ::testing::Test {
 protected:
  // A fresh host with the fixture loaded, and the tables of a first command (valid for the host's
  // life) for calling the host's suites and callbacks directly.
  void SetUp() override;
  // Shuts the plug-in down and requires balanced accounts, unless a test has taken them over.
  void TearDown() override;

  // Global and parameter setup, both required to succeed.
  void setUpPlugin();
  // Every command goes to `entry` first, until the accounts are taken; fixture::kBuiltIn hands it
  // on to the fixture's own handling.
  void takeOver(std::function<PF_Err(const Call&)> entry);
  // Runs `body` in place of the plug-in's handling of `command`.
  PF_Err inCommand(PF_Cmd command, const std::function<void(PF_InData&, PF_OutData&)>& body);
  // The accounts after shutdown; the test then judges them itself.
  fxhost::AccountsReport finalAccounts();

  template <typename Table>
  const Table* acquire(const char* name, A_long version) {
    const void* table = nullptr;
    EXPECT_EQ(basic->AcquireSuite(name, version, &table), kSPNoError) << name << " " << version;
    return static_cast<const Table*>(table);
  }

  std::unique_ptr<fxhost::Host> host;
  const PF_InData* in = nullptr;
  SPBasicSuite* basic = nullptr;
  PF_UtilCallbacks* utils = nullptr;

 private:
  bool accountsTaken_ = false;
};

}  // namespace fxhost_test
