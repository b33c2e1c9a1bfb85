#pragma once
// What the host's tests share: where the built plug-ins are, pictures and rectangles, and a test
// base that loads the fixture into a fresh host and checks the accounts after every test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ae_suites.h"
#include "fixture_behaviour.h"
#include "sp_basic_suite.h"
#include "fxhost/frame_protocol.h"
#include "fxhost/host.h"
#include "fxhost/host_error.h"

inline bool operator==(const PF_LRect& a, const PF_LRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const PF_LRect& rect) {
  return out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace fxhost_test {

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

// A different value in every channel of every pixel, within each depth's range.
void paint(fxhost::OwnedWorld& world);

// A file beside the test program (the built plug-ins are put there).
std::string besideTests(const std::string& file);
std::string fixturePath();

class FixtureTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Shuts the plug-in down and requires balanced accounts, unless a test has taken them over.
  void TearDown() override;

  // Global and parameter setup, both required to succeed.
  void setUpPlugin();
  void setLeak(int leak) { setMode(fixture::kSetLeakExport, leak); }
  void setPreRenderMode(int mode) { setMode(fixture::kSetPreRenderModeExport, mode); }
  void setMode(const char* exportName, int mode);
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
