#include "test_support.h"

#include <windows.h>

namespace fxhost_test {
namespace {

std::function<PF_Err(const Call&)> gEntry;

PF_Err takenOverEntry(PF_Cmd command, PF_InData* in, PF_OutData* out, PF_ParamDef* params[], PF_LayerDef* output,
                      void* extra) {
  return gEntry(Call{command, in, out, params, output, extra});
}

void setFixtureEntry(const fxhost::Host& host, PF_FilterProc entry) {
  auto set = reinterpret_cast<fixture::SetEntryFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(host.plugin().module(), fixture::kSetEntryExport)));
  ASSERT_NE(set, nullptr);
  set(entry);
}

}  // namespace

std::string besideTests(const std::string& file) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + file;
}

std::string fixturePath() { return besideTests("fxhost_fixture.aex"); }

void paint(fxhost::OwnedWorld& world) {
  const std::size_t row = static_cast<std::size_t>(world.width()) * fxhost::bytesPerPixel(world.depth());
  for (A_long y = 0; y < world.height(); ++y) {
    for (std::size_t x = 0; x < row; ++x) world.row(y)[x] = static_cast<std::uint8_t>(x * 7 + y * 13 + 1);
  }
}

void HostTest::SetUp() {
  host = std::make_unique<fxhost::Host>();
  host->loadPlugin(fixturePath());
  inCommand(PF_Cmd_ABOUT, [](PF_InData&, PF_OutData&) {});
  in = &host->lastInData();
  basic = in->pica_basicP;
  utils = in->utils;
}

void HostTest::TearDown() {
  if (accountsTaken_) return;
  EXPECT_EQ(finalAccounts().imbalances, Strings{});
}

void HostTest::setUpPlugin() {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
}

void HostTest::takeOver(std::function<PF_Err(const Call&)> entry) {
  gEntry = std::move(entry);
  setFixtureEntry(*host, takenOverEntry);
}

PF_Err HostTest::inCommand(PF_Cmd command, const std::function<void(PF_InData&, PF_OutData&)>& body) {
  return host->runInProcess(command, [&](PF_InData& in, PF_OutData& out) {
    body(in, out);
    return PF_Err_NONE;
  });
}

fxhost::AccountsReport HostTest::finalAccounts() {
  accountsTaken_ = true;
  // The entry may hold on to the test's own variables, which are gone by tear-down.
  setFixtureEntry(*host, nullptr);
  gEntry = nullptr;
  host->shutdown();
  return host->accounts();
}

}  // namespace fxhost_test
