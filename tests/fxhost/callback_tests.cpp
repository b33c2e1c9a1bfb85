// The basic suite, the suites behind it and the callbacks, called directly between commands.

#include <windows.h>

#include "test_support.h"

namespace {

using fxhost_test::Strings;
using CallbackTest = fxhost_test::HostTest;

TEST_F(CallbackTest, HandlesLockAndResizeInPlace) {
  PF_Handle handle = utils->host_new_handle(10);
  void* bytes = utils->host_lock_handle(handle);
  ASSERT_EQ(bytes, *handle);
  std::memcpy(bytes, "0123456789", 10);
  EXPECT_EQ(utils->host_lock_handle(handle), bytes);  // locks nest
  // Memory behind a lock does not move.
  EXPECT_EQ(utils->host_resize_handle(64, &handle), PF_Err_BAD_CALLBACK_PARAM);
  utils->host_unlock_handle(handle);
  utils->host_unlock_handle(handle);
  ASSERT_EQ(utils->host_resize_handle(20, &handle), PF_Err_NONE);
  EXPECT_EQ(utils->host_get_handle_size(handle), 20u);
  const std::vector<std::uint8_t> kept = host->handleBytes(handle);
  EXPECT_EQ(std::string(kept.begin(), kept.begin() + 10), "0123456789");
  utils->host_dispose_handle(handle);
  PF_Handle empty = utils->host_new_handle(0);  // still has memory
  EXPECT_NE(*empty, nullptr);
  EXPECT_EQ(utils->host_get_handle_size(empty), 0u);
  utils->host_dispose_handle(empty);
}

// A guarded handle's last byte is the last one that can be touched, also after resizes:
// IsBadReadPtr and IsBadWritePtr try the access under an exception handler.
TEST_F(CallbackTest, GuardedHandlesFaultOneBytePastTheirEnd) {
  host->options().guardHandleEnds = true;
  PF_Handle handle = utils->host_new_handle(10);
  std::memcpy(*handle, "0123456789", 10);
  for (const std::size_t size : {10u, 5000u, 4096u, 3u, 0u}) {
    ASSERT_EQ(utils->host_resize_handle(size, &handle), PF_Err_NONE);
    const auto* bytes = static_cast<const char*>(*handle);
    EXPECT_EQ(std::string(bytes, std::min<std::size_t>(size, 3)), std::string("012", std::min<std::size_t>(size, 3)));
    EXPECT_FALSE(IsBadReadPtr(bytes, size) || IsBadWritePtr(*handle, size)) << size;
    EXPECT_TRUE(IsBadReadPtr(bytes + size, 1)) << size;
    EXPECT_TRUE(IsBadWritePtr(static_cast<char*>(*handle) + size, 1)) << size;
  }
  utils->host_dispose_handle(handle);
}

TEST_F(CallbackTest, BlocksComeAndGo) {
  void* block = nullptr;
  ASSERT_EQ(basic->AllocateBlock(10, &block), kSPNoError);
  void* grown = nullptr;
  ASSERT_EQ(basic->ReallocateBlock(block, 20, &grown), kSPNoError);
  EXPECT_EQ(basic->FreeBlock(grown), kSPNoError);
  EXPECT_EQ(std::tuple(basic->IsEqual("abc", "abc"), basic->IsEqual("abc", "abd")), std::tuple(1, 0));
  EXPECT_EQ(basic->Undefined(), kSPUnimplementedError);
}

// The plug-in's own module and file; the main window only when the host has one.
TEST_F(CallbackTest, PlatformDataNamesThePluginAndTheConfiguredWindow) {
  HWND window = reinterpret_cast<HWND>(&window);
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_MAIN_WND, &window), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(window, nullptr);
  host->options().mainWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_MAIN_WND, &window), PF_Err_NONE);
  EXPECT_EQ(window, host->options().mainWindow);
  HINSTANCE instance = nullptr;
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_DLLINSTANCE, &instance), PF_Err_NONE);
  EXPECT_EQ(instance, host->plugin().module());
  wchar_t path[AEFX_MAX_PATH] = {};
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_FILE_PATH_W, path), PF_Err_NONE);
  EXPECT_TRUE(std::wstring(path).ends_with(L"\\fxhost_fixture.aex")) << path;
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_SP_PLUG_REF, path), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().platformDataQueries.size(), 5u);
}

TEST_F(CallbackTest, ParametersOutsideTheListAreRefusedAndTheLayerHasNoPixelsOutsideARender) {
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, 1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, -1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  ASSERT_EQ(in->inter.checkout_param(in->effect_ref, 0, 0, 1, 24, &def), PF_Err_NONE);
  EXPECT_EQ(std::tuple(def.param_type, def.u.ld.data), std::tuple(PF_Param_LAYER, nullptr));
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_NONE);
  const auto* ui = acquire<PF_ParamUtilsSuite3>(kPFParamUtilsSuite, 3);
  EXPECT_EQ(ui->PF_UpdateParamUI(in->effect_ref, 1, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(ui->PF_UpdateParamUI(in->effect_ref, -1, &def), PF_Err_INVALID_INDEX);
  basic->ReleaseSuite(kPFParamUtilsSuite, 3);
  EXPECT_EQ(host->records().uiUpdates.size(), 2u);
}

// A suite the host does not have, by version or by name (names are case-sensitive), comes without a
// table and untallied; every call is recorded. (That each suite the plug-in uses comes, a table of
// its own, shows in its renders, greying and language.)
TEST_F(CallbackTest, SuitesComeByNameAndVersionAndEveryCallIsRecorded) {
  acquire<void>(kPFWorldSuite, 1);
  EXPECT_EQ(basic->ReleaseSuite(kPFWorldSuite, 1), kSPNoError);
  Strings calls{"acquire \"PF World Suite\" 1: 0", "release \"PF World Suite\" 1: 0"};
  const std::size_t tallied = host->accounts().suites.size();
  const std::pair<const char*, A_long> missing[] = {{kPFWorldSuite, 3},     {kPFAppSuite, 6}, {kPFParamUtilsSuite, 1},
                                                    {kPFHandleSuite, 2},    {"pf world suite", 1}};
  for (const auto& [name, version] : missing) {
    const void* table = &table;
    EXPECT_EQ(basic->AcquireSuite(name, version, &table), kSPSuiteNotFoundError) << name << " " << version;
    EXPECT_EQ(table, nullptr) << name << " " << version;
    calls.push_back("acquire \"" + std::string(name) + "\" " + std::to_string(version) + ": " +
                    std::to_string(kSPSuiteNotFoundError));
  }
  EXPECT_EQ(host->accounts().suites.size(), tallied);
  EXPECT_EQ(host->records().suiteCalls, calls);
}

// A function the host does not offer answers so, and is recorded by its slot's name.
TEST_F(CallbackTest, FunctionsNotOfferedAnswerNotImplementedAndAreRecorded) {
  const auto* utils2 = acquire<PF_ParamUtilsSuite1>(kPFParamUtilsSuite, 2);
  PF_ParamDef def{};
  PF_Pixel color{};
  A_long value = 0;
  EXPECT_EQ(utils2->PF_CheckinKeyframe(in->effect_ref, &def), kSPUnimplementedError);
  EXPECT_EQ(utils->colorCB.Luminance(in->effect_ref, &color, &value), kSPUnimplementedError);
  EXPECT_EQ(in->inter.register_ui(in->effect_ref, nullptr), kSPUnimplementedError);
  EXPECT_EQ(host->records().notImplemented,
            (Strings{"PF Param Utils Suite 2: PF_CheckinKeyframe", "utility callbacks: Luminance",
                     "interaction callbacks: register_ui"}));
  basic->ReleaseSuite(kPFParamUtilsSuite, 2);
}

}  // namespace
