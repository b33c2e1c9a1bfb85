#include "test_support.h"

#include <windows.h>

#include <cstring>

namespace fxhost_test {

std::string besideTests(const std::string& file) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + file;
}

void paint(fxhost::OwnedWorld& world) {
  for (A_long y = 0; y < world.height(); ++y) {
    std::uint8_t* row = world.row(y);
    for (A_long x = 0; x < world.width(); ++x) {
      for (int channel = 0; channel < 4; ++channel) {
        const int seed = x * 7 + y * 13 + channel * 29 + 1;
        const std::size_t at = static_cast<std::size_t>(x * 4 + channel);
        switch (world.depth()) {
          case fxhost::PixelDepth::Eight:
            row[at] = static_cast<std::uint8_t>(seed);
            break;
          case fxhost::PixelDepth::Sixteen: {
            const auto value = static_cast<std::uint16_t>(seed * 97 % 32769);
            std::memcpy(row + at * 2, &value, 2);
            break;
          }
          case fxhost::PixelDepth::Float: {
            const float value = static_cast<float>(seed) / 64.0f;
            std::memcpy(row + at * 4, &value, 4);
            break;
          }
        }
      }
    }
  }
}

std::string fixturePath() { return besideTests("fxhost_fixture.aex"); }

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

void FixtureTest::setMode(const char* exportName, int mode) {
  auto set = reinterpret_cast<fixture::SetModeFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(host->plugin().module(), exportName)));
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
