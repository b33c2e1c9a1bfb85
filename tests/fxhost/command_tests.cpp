// The commands without pixels, sent to the fixture: what the host passes and what it takes back.

#include <cstdio>
#include <cstring>
#include <tuple>

#include "test_support.h"

namespace {

using fxhost_test::FixtureTest;
using CommandTest = FixtureTest;

fixture::SequenceRecord recordOf(const std::vector<std::uint8_t>& bytes) {
  fixture::SequenceRecord record{};
  EXPECT_EQ(bytes.size(), sizeof record);
  if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

TEST_F(CommandTest, InDataCarriesTheHostsOptions) {
  ASSERT_EQ(host->about(), PF_Err_NONE);
  const PF_InData& in = host->lastInData();
  EXPECT_EQ(std::tuple(in.appl_id, in.version.major, in.version.minor, in.quality, in.num_params),
            std::tuple(0x46585443, 13, 28, PF_Quality_HI, 1));
  EXPECT_NE(in.effect_ref, nullptr);
  EXPECT_NE(in.utils, nullptr);
  EXPECT_NE(in.pica_basicP, nullptr);
  EXPECT_EQ(std::tuple(in.width, in.height, in.extent_hint.right, in.field), std::tuple(64, 64, 64, PF_Field_FRAME));
  EXPECT_EQ(std::tuple(in.current_time, in.time_step, in.time_scale), std::tuple(0, 1, 24u));
  for (const PF_RationalScale& scale : {in.downsample_x, in.downsample_y}) {
    EXPECT_EQ(std::tuple(scale.num, scale.den), std::tuple(1, 1u));
  }
  // The application id and the basic suite are configurable; the fixture fails without the suite.
  host->options().applId = host_sdk::kApplIdPremierePro;
  host->options().provideBasicSuite = false;
  EXPECT_EQ(host->about(), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->lastInData().appl_id, 0x50724D72);
  EXPECT_EQ(host->lastInData().pica_basicP, nullptr);
}

// The language comes through the App Suite, cut to five characters.
TEST_F(CommandTest, AboutReportsTheConfiguredLanguageAndVersion) {
  host->options().language = "ja_JP";
  host->options().version = PF_SpecVersion{12, 11};
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture ja_JP 12.11");
  EXPECT_EQ(host->records().languageQueries, 1);
  host->options().language = "en_US_POSIX";
  host->options().version = PF_SpecVersion{13, 28};
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture en_US 13.28");
}

// The plug-in sees Shift down exactly when the host says so, whatever the sending thread's own
// keyboard state, which comes back after the command.
TEST_F(CommandTest, ThePluginSeesShiftDownExactlyWhenAsked) {
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
      ASSERT_EQ(host->about(), PF_Err_NONE);
      EXPECT_EQ(host->returnMessage(), hostShift ? "fixture en_US 13.28 shift" : "fixture en_US 13.28");
      EXPECT_EQ(GetKeyState(VK_SHIFT) < 0, threadShift);
    }
  }
  setThreadShift(false);
}

TEST_F(CommandTest, GlobalSetupTakesVersionFlagsAndGlobalData) {
  ASSERT_EQ(host->globalSetup(), PF_Err_NONE);
  EXPECT_EQ(host->lastOutData().my_version, fixture::kVersion);
  EXPECT_EQ(host->lastOutData().out_flags, fixture::kOutFlags);
  EXPECT_EQ(host->lastOutData().out_flags2, fixture::kOutFlags2);
  ASSERT_NE(host->globalData(), nullptr);
  EXPECT_EQ(host->handleBytes(host->globalData()).size(), sizeof(A_long));
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->lastInData().global_data, host->globalData());
  ASSERT_EQ(host->globalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->globalData(), nullptr);
  EXPECT_EQ(host->accounts().handlesLive, 0);
}

TEST_F(CommandTest, ParamsSetupRecordsEveryParameterInOrderAndStartsAfresh) {
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->paramCount(), fixture::kParamCount);
  EXPECT_EQ(host->lastOutData().num_params, fixture::kParamCount);
  const auto& added = host->records().addedParams;
  ASSERT_EQ(added.size(), 12u);
  const char* names[] = {"amount", "enable", "tint", "group", "gain", ""};
  const PF_ParamType types[] = {PF_Param_SLIDER, PF_Param_CHECKBOX, PF_Param_COLOR,
                                PF_Param_GROUP_START, PF_Param_FLOAT_SLIDER, PF_Param_GROUP_END};
  for (std::size_t i = 0; i < 6; ++i) {
    const fxhost::AddParamRecord& record = added[i + 6];
    EXPECT_EQ(record.index, -1);
    EXPECT_STREQ(record.def.name, names[i]);
    EXPECT_EQ(record.def.param_type, types[i]);
    EXPECT_EQ(record.def.uu.id, static_cast<A_long>(i + 1));
    EXPECT_EQ(record.result, PF_Err_NONE);
  }
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
  EXPECT_EQ(host->param(fixture::kEnable).flags, PF_ParamFlag_SUPERVISE);
  EXPECT_EQ(host->param(fixture::kTint).u.cd.value.blue, fixture::kTintDefault.blue);
  EXPECT_DOUBLE_EQ(host->param(fixture::kGain).u.fs_d.value, fixture::kGainDefault);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->lastInData().num_params, fixture::kParamCount);
  // The checkbox label outlives the plug-in whose memory held it.
  EXPECT_TRUE(finalAccounts().balanced());
  const fxhost::Records kept = host->records();
  host.reset();
  EXPECT_EQ(kept.addedParams[7].checkboxLabel, fixture::kEnableLabel);
  EXPECT_EQ(kept.addedParams[6].checkboxLabel, "");
}

// Setup, a flat copy handed over, flatten, resetup from the flat record, setdown, resetup from
// stored bytes.
TEST_F(CommandTest, TheSequenceDataLivesThroughTheInstancesCommands) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const PF_Handle live = host->sequenceData();
  ASSERT_NE(live, nullptr);
  const fixture::SequenceRecord setUp = recordOf(host->handleBytes(live));
  EXPECT_EQ(setUp.magic, fixture::kSequenceMagic);
  EXPECT_EQ(setUp.flat, 0u);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->lastInData().sequence_data, live);
  EXPECT_THROW(host->setSequenceDataBytes(std::vector<std::uint8_t>{1, 2, 3}), fxhost::HostError);

  std::vector<std::uint8_t> copy;
  ASSERT_EQ(host->getFlattenedSequenceData(&copy), PF_Err_NONE);
  EXPECT_EQ(host->sequenceData(), live);
  EXPECT_EQ(recordOf(copy).magic, fixture::kSequenceMagic);
  EXPECT_EQ(recordOf(copy).flat, 1u);
  EXPECT_EQ(host->accounts().handlesLive, 1);

  ASSERT_EQ(host->sequenceFlatten(), PF_Err_NONE);
  const PF_Handle flat = host->sequenceData();
  EXPECT_NE(flat, live);
  EXPECT_EQ(recordOf(host->handleBytes(flat)).flat, 1u);
  EXPECT_EQ(recordOf(host->handleBytes(flat)).serial, setUp.serial);
  EXPECT_EQ(host->accounts().handlesLive, 1);

  ASSERT_EQ(host->sequenceResetup(), PF_Err_NONE);
  EXPECT_NE(host->sequenceData(), flat);
  EXPECT_EQ(recordOf(host->handleBytes(host->sequenceData())).flat, 0u);
  EXPECT_EQ(host->accounts().handlesLive, 1);

  ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->sequenceData(), nullptr);
  EXPECT_EQ(host->accounts().handlesLive, 0);

  // A stored copy, as read from a project, for the next resetup.
  const fixture::SequenceRecord stored{fixture::kSequenceMagic, 1, 42};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&stored);
  host->setSequenceDataBytes(std::vector<std::uint8_t>(bytes, bytes + sizeof stored));
  ASSERT_EQ(host->sequenceResetup(), PF_Err_NONE);
  const fixture::SequenceRecord record = recordOf(host->handleBytes(host->sequenceData()));
  EXPECT_EQ(record.magic, fixture::kSequenceMagic);
  EXPECT_EQ(record.flat, 0u);
  EXPECT_EQ(record.serial, 42u);
}

TEST_F(CommandTest, DialogGetsTheMainWindowAndChangesAValue) {
  setUpPlugin();
  EXPECT_EQ(host->doDialog(), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->returnMessage(), "no window (516)");
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
  const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
  host->options().mainWindow = window;
  ASSERT_EQ(host->doDialog(), PF_Err_NONE);
  char expected[64];
  std::snprintf(expected, sizeof expected, "window %p", static_cast<void*>(window));
  EXPECT_EQ(host->returnMessage(), expected);
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, 77);
  EXPECT_EQ(host->records().platformDataQueries, (std::vector<PF_PlatDataID>{PF_PlatData_MAIN_WND, PF_PlatData_MAIN_WND}));
}

TEST_F(CommandTest, UserChangedParamPassesTheIndexAndTakesChangedValues) {
  setUpPlugin();
  ASSERT_EQ(host->userChangedParam(fixture::kTint), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "changed 3");
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
  ASSERT_EQ(host->userChangedParam(fixture::kEnable), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "changed 2");
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, 99);
}

// Through Param Utils Suite 3, or 2 for hosts older than 13.2.
TEST_F(CommandTest, UpdateParamsUIRecordsEachChangeOnce) {
  setUpPlugin();
  host->param(fixture::kEnable).u.bd.value = 0;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  const std::vector<fxhost::ParamUIUpdateRecord>& updates = host->records().uiUpdates;
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(updates[0].suiteVersion, 3);
  EXPECT_EQ(updates[0].index, fixture::kTint);
  EXPECT_EQ(updates[0].def.ui_flags & PF_PUI_DISABLED, PF_PUI_DISABLED);
  EXPECT_EQ(updates[0].result, PF_Err_NONE);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, PF_PUI_DISABLED);
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  EXPECT_EQ(updates.size(), 1u);
  host->param(fixture::kEnable).u.bd.value = 1;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(updates.size(), 2u);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, 0);
  host->options().version = PF_SpecVersion{13, 1};
  host->param(fixture::kEnable).u.bd.value = 0;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(updates.size(), 3u);
  EXPECT_EQ(updates[2].suiteVersion, 2);
}

TEST_F(CommandTest, CommandsWithoutHandlingStillReachThePlugin) {
  const int before = host->accounts().commands;
  EXPECT_EQ(host->sendCommand(PF_Cmd_FRAME_SETUP), PF_Err_NONE);
  EXPECT_EQ(host->sendCommand(40), PF_Err_NONE);
  EXPECT_EQ(host->accounts().commands, before + 2);
}

}  // namespace
