// The utility and interaction callbacks, called directly.

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
  utils->host_unlock_handle(handle);
  ASSERT_EQ(utils->host_resize_handle(20, &handle), PF_Err_NONE);
  EXPECT_EQ(utils->host_get_handle_size(handle), 20u);
  const std::vector<std::uint8_t> kept = host->handleBytes(handle);
  ASSERT_EQ(kept.size(), 20u);
  EXPECT_EQ(std::string(kept.begin(), kept.begin() + 10), "0123456789");
  utils->host_dispose_handle(handle);
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ(accounts.handlesAllocated, 1);
  EXPECT_EQ(accounts.handlesDisposed, 1);
  EXPECT_EQ(accounts.handleLocks, 1);
  EXPECT_EQ(accounts.handleUnlocks, 1);
  EXPECT_EQ(accounts.handlesLive, 0);
}

TEST_F(CallbackTest, AnEmptyHandleStillHasMemory) {
  PF_Handle handle = utils->host_new_handle(0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(*handle, nullptr);
  EXPECT_EQ(utils->host_get_handle_size(handle), 0u);
  utils->host_dispose_handle(handle);
}

TEST_F(CallbackTest, LocksNest) {
  PF_Handle handle = utils->host_new_handle(4);
  EXPECT_NE(utils->host_lock_handle(handle), nullptr);
  EXPECT_NE(utils->host_lock_handle(handle), nullptr);
  utils->host_unlock_handle(handle);
  utils->host_unlock_handle(handle);
  utils->host_dispose_handle(handle);
  EXPECT_EQ(host->accounts().handleLocks, 2);
}

TEST_F(CallbackTest, ALockedHandleDoesNotMove) {
  PF_Handle handle = utils->host_new_handle(4);
  utils->host_lock_handle(handle);
  EXPECT_EQ(utils->host_resize_handle(64, &handle), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(utils->host_get_handle_size(handle), 4u);
  utils->host_unlock_handle(handle);
  utils->host_dispose_handle(handle);
}

TEST_F(CallbackTest, HandlesOfSomeoneElseAreBooked) {
  void* pointer = nullptr;
  EXPECT_EQ(utils->host_lock_handle(&pointer), nullptr);
  EXPECT_EQ(utils->host_get_handle_size(&pointer), 0u);
  PF_Handle foreign = &pointer;
  EXPECT_EQ(utils->host_resize_handle(8, &foreign), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(finalAccounts().imbalances,
            (std::vector<std::string>{
                "outside any command: host_lock_handle of a handle the host did not allocate",
                "outside any command: host_get_handle_size of a handle the host did not allocate",
                "outside any command: host_resize_handle of a handle the host did not allocate",
            }));
}

TEST_F(CallbackTest, AnsiFormattingAndCopying) {
  char text[32] = {};
  EXPECT_EQ(utils->ansi.sprintf(text, "%d-%s-%.1f", 7, "x", 2.5), 7);
  EXPECT_STREQ(text, "7-x-2.5");
  EXPECT_EQ(utils->ansi.strcpy(text, "copied"), text);
  EXPECT_STREQ(text, "copied");
}

TEST_F(CallbackTest, AnsiMathIsTheStandardLibrarys) {
  EXPECT_DOUBLE_EQ(utils->ansi.sqrt(9.0), 3.0);
  EXPECT_DOUBLE_EQ(utils->ansi.pow(2.0, 10.0), 1024.0);
  EXPECT_DOUBLE_EQ(utils->ansi.atan2(1.0, 1.0), std::atan(1.0));
  EXPECT_DOUBLE_EQ(utils->ansi.fmod(7.5, 2.0), 1.5);
  EXPECT_DOUBLE_EQ(utils->ansi.floor(-1.5), -2.0);
  EXPECT_DOUBLE_EQ(utils->ansi.ceil(-1.5), -1.0);
  EXPECT_DOUBLE_EQ(utils->ansi.hypot(3.0, 4.0), 5.0);
  EXPECT_DOUBLE_EQ(utils->ansi.acos(1.0), 0.0);
}

TEST_F(CallbackTest, PlatformDataWithoutMainWindowIsAnError) {
  HWND window = reinterpret_cast<HWND>(&window);
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_MAIN_WND, &window), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(window, nullptr);
}

TEST_F(CallbackTest, PlatformDataNamesThePlugin) {
  HINSTANCE instance = nullptr;
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_DLLINSTANCE, &instance), PF_Err_NONE);
  EXPECT_EQ(instance, host->plugin().module());
  wchar_t path[AEFX_MAX_PATH] = {};
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_RES_FILE_PATH_W, path), PF_Err_NONE);
  const std::wstring text(path);
  EXPECT_EQ(text.substr(text.size() - 18), L"fxhost_fixture.aex");
  EXPECT_EQ(utils->get_platform_data(in->effect_ref, PF_PlatData_SP_PLUG_REF, path), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().platformDataQueries,
            (std::vector<PF_PlatDataID>{PF_PlatData_RES_DLLINSTANCE, PF_PlatData_RES_FILE_PATH_W,
                                        PF_PlatData_SP_PLUG_REF}));
}

TEST_F(CallbackTest, CheckoutGivesTheCurrentValueAndRecordsTheTime) {
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  host->param(fixture::kAmount).u.sd.value = 33;
  PF_ParamDef def{};
  ASSERT_EQ(in->inter.checkout_param(in->effect_ref, fixture::kAmount, 5, 2, 30, &def), PF_Err_NONE);
  EXPECT_EQ(def.param_type, PF_Param_SLIDER);
  EXPECT_EQ(def.u.sd.value, 33);
  EXPECT_STREQ(def.name, "amount");
  ASSERT_EQ(host->records().paramCheckouts.size(), 1u);
  const fxhost::ParamCheckoutRecord& record = host->records().paramCheckouts.front();
  EXPECT_EQ(record.command, -1);
  EXPECT_EQ(record.index, fixture::kAmount);
  EXPECT_EQ(record.time, 5);
  EXPECT_EQ(record.timeStep, 2);
  EXPECT_EQ(record.timeScale, 30u);
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_NONE);
  EXPECT_EQ(host->accounts().paramCheckouts, 1);
  EXPECT_EQ(host->accounts().paramCheckins, 1);
}

TEST_F(CallbackTest, CheckoutOfTheLayerOutsideARenderHasNoPixels) {
  PF_ParamDef def{};
  ASSERT_EQ(in->inter.checkout_param(in->effect_ref, 0, 0, 1, 24, &def), PF_Err_NONE);
  EXPECT_EQ(def.param_type, PF_Param_LAYER);
  EXPECT_EQ(def.u.ld.data, nullptr);
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_NONE);
}

TEST_F(CallbackTest, CheckoutOfAnUnknownIndexFails) {
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, 1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, -1, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  EXPECT_EQ(host->accounts().paramCheckouts, 0);
}

TEST_F(CallbackTest, ACheckinOfADefinitionNeverCheckedOutIsBooked) {
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkin_param(in->effect_ref, &def), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"outside any command: check-in of a parameter definition that was not checked out"});
}

TEST_F(CallbackTest, ParametersAreOnlyAddedDuringParamsSetup) {
  PF_ParamDef def{};
  def.param_type = PF_Param_CHECKBOX;
  EXPECT_EQ(in->inter.add_param(in->effect_ref, -1, &def), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->paramCount(), 1);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"outside any command: add_param outside PF_Cmd_PARAMS_SETUP"});
}

TEST_F(CallbackTest, AForeignEffectReferenceIsRefusedAndBooked) {
  PF_ParamDef def{};
  int mine = 0;
  EXPECT_EQ(in->inter.checkout_param(reinterpret_cast<PF_ProgPtr>(&mine), 0, 0, 1, 24, &def),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{
                "outside any command: checkout_param called with an effect reference the host did not give"});
}

TEST_F(CallbackTest, ProgressAndAbortAnswer) {
  EXPECT_EQ(in->inter.abort(in->effect_ref), PF_Err_NONE);
  EXPECT_EQ(in->inter.progress(in->effect_ref, 1, 2), PF_Err_NONE);
}

TEST_F(CallbackTest, OtherCallbacksAnswerNotImplementedAndAreRecorded) {
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
