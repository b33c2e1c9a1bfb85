// The utility and interaction callbacks, called directly.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "test_support.h"

namespace {

using fxhost_test::DirectTest;
using CallbackTest = DirectTest;

TEST_F(CallbackTest, HandlesLiveFromNewToDispose) {
  PF_Handle handle = utils->host_new_handle(10);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(utils->host_get_handle_size(handle), 10u);
  void* bytes = utils->host_lock_handle(handle);
  ASSERT_EQ(bytes, *handle);
  std::memcpy(bytes, "0123456789", 10);
  EXPECT_EQ(utils->host_lock_handle(handle), bytes);  // locks nest
  // A locked handle does not move.
  EXPECT_EQ(utils->host_resize_handle(64, &handle), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(utils->host_get_handle_size(handle), 10u);
  utils->host_unlock_handle(handle);
  utils->host_unlock_handle(handle);
  ASSERT_EQ(utils->host_resize_handle(20, &handle), PF_Err_NONE);
  EXPECT_EQ(utils->host_get_handle_size(handle), 20u);
  const std::vector<std::uint8_t> kept = host->handleBytes(handle);
  ASSERT_EQ(kept.size(), 20u);
  EXPECT_EQ(std::string(kept.begin(), kept.begin() + 10), "0123456789");
  utils->host_dispose_handle(handle);
  // An empty handle still has memory.
  PF_Handle empty = utils->host_new_handle(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_NE(*empty, nullptr);
  EXPECT_EQ(utils->host_get_handle_size(empty), 0u);
  utils->host_dispose_handle(empty);
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ(accounts.handlesAllocated, 2);
  EXPECT_EQ(accounts.handlesDisposed, 2);
  EXPECT_EQ(accounts.handleLocks, 2);
  EXPECT_EQ(accounts.handleUnlocks, 2);
  EXPECT_EQ(accounts.handlesLive, 0);
}

// A guarded handle's last byte is the last one that can be touched, also after resizes:
// IsBadReadPtr and IsBadWritePtr try the access under an exception handler.
TEST_F(CallbackTest, GuardedHandlesFaultOneBytePastTheirEnd) {
  host->options().guardHandleEnds = true;
  PF_Handle handle = utils->host_new_handle(10);
  ASSERT_NE(handle, nullptr);
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

TEST_F(CallbackTest, AnsiFunctionsAreTheStandardLibrarys) {
  char text[32] = {};
  EXPECT_EQ(utils->ansi.sprintf(text, "%d-%s-%.1f", 7, "x", 2.5), 7);
  EXPECT_STREQ(text, "7-x-2.5");
  EXPECT_EQ(utils->ansi.strcpy(text, "copied"), text);
  EXPECT_STREQ(text, "copied");
  const PF_ANSICallbacks& ansi = utils->ansi;
  EXPECT_EQ((std::vector<double>{ansi.sqrt(9.0), ansi.pow(2.0, 10.0), ansi.atan2(1.0, 1.0), ansi.fmod(7.5, 2.0),
                                 ansi.floor(-1.5), ansi.ceil(-1.5), ansi.hypot(3.0, 4.0), ansi.acos(1.0)}),
            (std::vector<double>{3.0, 1024.0, std::atan(1.0), 1.5, -2.0, -1.0, 5.0, 0.0}));
}

TEST_F(CallbackTest, PlatformDataNamesThePluginButNoMainWindowByDefault) {
  HWND window = reinterpret_cast<HWND>(&window);
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_MAIN_WND, &window), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(window, nullptr);
  HINSTANCE instance = nullptr;
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_DLLINSTANCE, &instance), PF_Err_NONE);
  EXPECT_EQ(instance, host->plugin().module());
  wchar_t path[AEFX_MAX_PATH] = {};
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_FILE_PATH_W, path), PF_Err_NONE);
  EXPECT_TRUE(std::wstring(path).ends_with(L"\\fxhost_fixture.aex")) << path;
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_SP_PLUG_REF, path), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().platformDataQueries,
            (std::vector<PF_PlatDataID>{PF_PlatData_MAIN_WND, PF_PlatData_RES_DLLINSTANCE, PF_PlatData_RES_FILE_PATH_W,
                                        PF_PlatData_SP_PLUG_REF}));
}

// (Checkouts of values, their times and check-ins are seen through the renders.)
TEST_F(CallbackTest, CheckoutOfAnUnknownIndexFailsAndTheLayerHasNoPixelsOutsideARender) {
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, 1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, -1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(host->accounts().paramCheckouts, 0);
  ASSERT_EQ(in->inter.checkout_param(in->effect_ref, 0, 0, 1, 24, &def), PF_Err_NONE);
  EXPECT_EQ(def.param_type, PF_Param_LAYER);
  EXPECT_EQ(def.u.ld.data, nullptr);
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_NONE);
}

TEST_F(CallbackTest, ProgressAndAbortAnswerOthersAreNotImplementedAndRecorded) {
  EXPECT_EQ(in->inter.abort(in->effect_ref), PF_Err_NONE);
  EXPECT_EQ(in->inter.progress(in->effect_ref, 1, 2), PF_Err_NONE);
  PF_Pixel color{};
  A_long value = 0;
  EXPECT_EQ(utils->fill(in->effect_ref, &color, nullptr, nullptr), kSPUnimplementedError);
  EXPECT_EQ(utils->app(in->effect_ref, 3, 1, 2), kSPUnimplementedError);
  EXPECT_EQ(utils->colorCB.Luminance(in->effect_ref, &color, &value), kSPUnimplementedError);
  EXPECT_EQ(in->inter.register_ui(in->effect_ref, nullptr), kSPUnimplementedError);
  EXPECT_EQ(host->records().notImplemented,
            (std::vector<std::string>{"utility callbacks: fill", "utility callbacks: app",
                                      "utility callbacks: Luminance", "interaction callbacks: register_ui"}));
}

}  // namespace
