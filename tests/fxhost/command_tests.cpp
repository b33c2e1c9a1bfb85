// What the host passes to every command, and what it takes back.

#include <tuple>

#include "test_support.h"

namespace {

using fxhost_test::Call;
using CommandTest = fxhost_test::HostTest;

// The fields the plug-in does not read (version, application, times and the basic suite reach it in
// tests/plugin), and the language, cut to the room the caller has.
TEST_F(CommandTest, InDataCarriesTheHostsOptions) {
  fxhost::HostOptions& options = host->options();
  options.quality = PF_Quality_LO;
  options.width = 7;
  options.height = 5;
  options.totalTime = 100;
  options.downsampleY = PF_RationalScale{1, 2};
  options.language = "en_US_POSIX";
  PF_InData seen{};
  A_char tag[PF_APP_LANG_TAG_SIZE] = {};
  inCommand(PF_Cmd_ABOUT, [&](PF_InData& in, PF_OutData&) {
    seen = in;
    const void* app = nullptr;
    in.pica_basicP->AcquireSuite(kPFAppSuite, 7, &app);
    EXPECT_EQ(static_cast<const PFAppSuite5*>(app)->PF_AppGetLanguage(tag), PF_Err_NONE);
    in.pica_basicP->ReleaseSuite(kPFAppSuite, 7);
  });
  EXPECT_STREQ(tag, "en_US");
  EXPECT_EQ(std::tuple(seen.quality, seen.num_params, seen.field, seen.width, seen.height, seen.extent_hint.right,
                       seen.extent_hint.bottom, seen.total_time, seen.downsample_y.den),
            std::tuple(PF_Quality_LO, 1, PF_Field_FRAME, 7, 5, 7, 5, 100, 2u));
}

// The command sees Shift down exactly when the host says so, whatever the sending thread's own
// keyboard state, which comes back after the command.
TEST_F(CommandTest, ShiftIsDownExactlyWhenAsked) {
  const auto setThreadShift = [](bool down) {
    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ASSERT_TRUE(SetKeyboardState(keys));
  };
  for (const bool threadShift : {false, true}) {
    for (const bool hostShift : {false, true}) {
      setThreadShift(threadShift);
      host->options().shiftKeyDown = hostShift;
      bool seen = !hostShift;
      inCommand(PF_Cmd_ABOUT, [&](PF_InData&, PF_OutData&) { seen = GetKeyState(VK_SHIFT) < 0; });
      EXPECT_EQ(seen, hostShift);
      EXPECT_EQ(GetKeyState(VK_SHIFT) < 0, threadShift);
    }
  }
  setThreadShift(false);
}

using CommandDataTest = fxhost_test::HostTest;

// (The plug-in keeps no global data; its sequence data is seen through tests/plugin's session.)
TEST_F(CommandDataTest, GlobalDataLastsFromSetupToSetdown) {
  PF_Handle given = nullptr;
  std::vector<PF_Handle> seen;
  takeOver([&](const Call& call) {
    seen.push_back(call.in->global_data);
    if (call.command == PF_Cmd_GLOBAL_SETUP) call.out->global_data = given = call.in->utils->host_new_handle(4);
    if (call.command == PF_Cmd_GLOBAL_SETDOWN) call.in->utils->host_dispose_handle(call.in->global_data);
    return PF_Err_NONE;
  });
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->globalData(), given);
  ASSERT_EQ(host->globalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->globalData(), nullptr);
  EXPECT_EQ(seen, (std::vector<PF_Handle>{nullptr, given, given}));
}

// Only the dialog and a changed parameter hand values back, and only those flagged as changed.

TEST_F(CommandDataTest, ChangedValuesComeBackFromTheDialogAndAChangedParameterOnly) {
  setUpPlugin();
  PF_ParamIndex changed = 0;
  takeOver([&](const Call& call) {
    if (call.params == nullptr || call.command == PF_Cmd_RENDER) return fixture::kBuiltIn;
    EXPECT_EQ(call.params[fixture::kTint]->uu.change_flags, PF_ChangeFlag_NONE);
    if (call.command == PF_Cmd_USER_CHANGED_PARAM) {
      changed = static_cast<const PF_UserChangedParamExtra*>(call.extra)->param_index;
    }
    call.params[fixture::kAmount]->u.sd.value = 77;
    call.params[fixture::kTint]->u.cd.value = PF_Pixel{1, 2, 3, 4};
    call.params[fixture::kTint]->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    return PF_Err_NONE;
  });
  const auto tintTaken = [&] {
    const bool taken = host->param(fixture::kTint).u.cd.value.blue == 4;
    host->param(fixture::kTint).u.cd.value.blue = 30;
    EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
    return taken;
  };
  ASSERT_EQ(host->about(), PF_Err_NONE);
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(host->sendCommand(PF_Cmd_COMPLETELY_GENERAL), PF_Err_NONE);
  EXPECT_FALSE(tintTaken());
  ASSERT_EQ(host->doDialog(), PF_Err_NONE);
  EXPECT_TRUE(tintTaken());
  ASSERT_EQ(host->userChangedParam(fixture::kEnable), PF_Err_NONE);
  EXPECT_TRUE(tintTaken());
  EXPECT_EQ(changed, fixture::kEnable);
}

}  // namespace
