#include "test_support.h"

#include <windows.h>

#include <algorithm>

namespace fxhost_test {

std::string besideTests(const std::string& file) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + file;
}

std::string fixturePath() { return besideTests("fxhost_fixture.aex"); }

bool anyContains(const std::vector<std::string>& messages, const std::string& part) {
  return std::any_of(messages.begin(), messages.end(),
                     [&](const std::string& message) { return message.find(part) != std::string::npos; });
}

void FixtureTest::SetUp() {
  host = std::make_unique<fxhost::Host>();
  host->loadPlugin(fixturePath());
}

void FixtureTest::TearDown() {
  if (accountsTaken_ || host == nullptr) return;
  setLeak(fixture::kLeakNone);
  host->shutdown();
  EXPECT_EQ(host->accounts().imbalances, std::vector<std::string>{});
}

void FixtureTest::setUpPlugin() {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
}

void FixtureTest::setLeak(int leak) {
  auto set = reinterpret_cast<fixture::SetModeFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(host->plugin().module(), fixture::kSetLeakExport)));
  ASSERT_NE(set, nullptr);
  set(leak);
}

void FixtureTest::setPreRenderMode(int mode) {
  auto set = reinterpret_cast<fixture::SetModeFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(host->plugin().module(), fixture::kSetPreRenderModeExport)));
  ASSERT_NE(set, nullptr);
  set(mode);
}

fxhost::AccountsReport FixtureTest::finalAccounts() {
  accountsTaken_ = true;
  setLeak(fixture::kLeakNone);
  host->shutdown();
  return host->accounts();
}

void DirectTest::SetUp() {
  FixtureTest::SetUp();
  ASSERT_EQ(host->about(), PF_Err_NONE);
  in = &host->lastInData();
  basic = in->pica_basicP;
  utils = in->utils;
  host->records() = fxhost::Records{};
}

}  // namespace fxhost_test
