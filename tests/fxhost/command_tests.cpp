// The commands without pixels, sent to the fixture: what the host passes and what it takes back.

#include <cstdio>
#include <cstring>

#include "test_support.h"

namespace {

using fxhost_test::FixtureTest;

fixture::SequenceRecord recordOf(const std::vector<std::uint8_t>& bytes) {
  fixture::SequenceRecord record{};
  EXPECT_EQ(bytes.size(), sizeof record);
  if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

std::vector<std::uint8_t> bytesOf(const fixture::SequenceRecord& record) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
  return {bytes, bytes + sizeof record};
}

using CommandTest = FixtureTest;

TEST_F(CommandTest, InDataCarriesTheHostsDefaults) {
  ASSERT_EQ(host->about(), PF_Err_NONE);
  const PF_InData& in = host->lastInData();
  EXPECT_EQ(in.appl_id, 0x46585443);
  EXPECT_EQ(in.version.major, 13);
  EXPECT_EQ(in.version.minor, 28);
  EXPECT_NE(in.effect_ref, nullptr);
  EXPECT_NE(in.utils, nullptr);
  EXPECT_NE(in.pica_basicP, nullptr);
  EXPECT_EQ(in.quality, PF_Quality_HI);
  EXPECT_EQ(in.num_params, 1);
  EXPECT_EQ(in.width, 64);
  EXPECT_EQ(in.height, 64);
  EXPECT_EQ(in.extent_hint.right, 64);
  EXPECT_EQ(in.downsample_x.num, 1);
  EXPECT_EQ(in.downsample_x.den, 1u);
  EXPECT_EQ(in.downsample_y.num, 1);
  EXPECT_EQ(in.downsample_y.den, 1u);
  EXPECT_EQ(in.current_time, 0);
  EXPECT_EQ(in.time_step, 1);
  EXPECT_EQ(in.time_scale, 24u);
  EXPECT_EQ(in.field, PF_Field_FRAME);
}

TEST_F(CommandTest, AboutReportsTheConfiguredLanguageAndVersion) {
  host->options().language = "ja_JP";
  host->options().version = PF_SpecVersion{12, 11};
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture ja_JP 12.11");
  EXPECT_EQ(host->records().languageQueries, 1);
}

TEST_F(CommandTest, LanguageTagsAreCutToFiveCharacters) {
  host->options().language = "en_US_POSIX";
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture en_US 13.28");
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

TEST_F(CommandTest, ParamsSetupRecordsEveryParameterInOrder) {
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->paramCount(), fixture::kParamCount);
  EXPECT_EQ(host->lastOutData().num_params, fixture::kParamCount);
  const auto& added = host->records().addedParams;
  ASSERT_EQ(added.size(), 6u);
  const char* names[] = {"amount", "enable", "tint", "group", "gain", ""};
  const PF_ParamType types[] = {PF_Param_SLIDER, PF_Param_CHECKBOX, PF_Param_COLOR,
                                PF_Param_GROUP_START, PF_Param_FLOAT_SLIDER, PF_Param_GROUP_END};
  for (std::size_t i = 0; i < added.size(); ++i) {
    EXPECT_EQ(added[i].index, -1);
    EXPECT_STREQ(added[i].def.name, names[i]);
    EXPECT_EQ(added[i].def.param_type, types[i]);
    EXPECT_EQ(added[i].def.uu.id, static_cast<A_long>(i + 1));
    EXPECT_EQ(added[i].result, PF_Err_NONE);
  }
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
  EXPECT_EQ(host->param(fixture::kEnable).flags, PF_ParamFlag_SUPERVISE);
  EXPECT_EQ(host->param(fixture::kTint).u.cd.value.blue, fixture::kTintDefault.blue);
  EXPECT_DOUBLE_EQ(host->param(fixture::kGain).u.fs_d.value, fixture::kGainDefault);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->lastInData().num_params, fixture::kParamCount);
}

TEST_F(CommandTest, ParamsSetupStartsTheListAfresh) {
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  ASSERT_EQ(host->paramsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->paramCount(), fixture::kParamCount);
}

TEST_F(CommandTest, SequenceSetupStoresTheInstanceRecord) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  ASSERT_NE(host->sequenceData(), nullptr);
  const fixture::SequenceRecord record = recordOf(host->handleBytes(host->sequenceData()));
  EXPECT_EQ(record.magic, fixture::kSequenceMagic);
  EXPECT_EQ(record.flat, 0u);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->lastInData().sequence_data, host->sequenceData());
}

TEST_F(CommandTest, FlattenReplacesTheLiveRecord) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const PF_Handle live = host->sequenceData();
  const fixture::SequenceRecord before = recordOf(host->handleBytes(live));
  ASSERT_EQ(host->sequenceFlatten(), PF_Err_NONE);
  EXPECT_NE(host->sequenceData(), live);
  const fixture::SequenceRecord flat = recordOf(host->handleBytes(host->sequenceData()));
  EXPECT_EQ(flat.flat, 1u);
  EXPECT_EQ(flat.serial, before.serial);
  EXPECT_EQ(host->accounts().handlesLive, 1);
}

TEST_F(CommandTest, ResetupRebuildsFromTheFlatRecordAndTheHostLetsItGo) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  ASSERT_EQ(host->sequenceFlatten(), PF_Err_NONE);
  const PF_Handle flat = host->sequenceData();
  ASSERT_EQ(host->sequenceResetup(), PF_Err_NONE);
  EXPECT_NE(host->sequenceData(), flat);
  EXPECT_EQ(recordOf(host->handleBytes(host->sequenceData())).flat, 0u);
  EXPECT_EQ(host->accounts().handlesLive, 1);
}

TEST_F(CommandTest, ResetupFromStoredBytes) {
  host->setSequenceDataBytes(bytesOf(fixture::SequenceRecord{fixture::kSequenceMagic, 1, 42}));
  ASSERT_EQ(host->sequenceResetup(), PF_Err_NONE);
  const fixture::SequenceRecord record = recordOf(host->handleBytes(host->sequenceData()));
  EXPECT_EQ(record.magic, fixture::kSequenceMagic);
  EXPECT_EQ(record.flat, 0u);
  EXPECT_EQ(record.serial, 42u);
}

TEST_F(CommandTest, GetFlattenedHandsOverACopyAndKeepsTheLiveRecord) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const PF_Handle live = host->sequenceData();
  std::vector<std::uint8_t> flat;
  ASSERT_EQ(host->getFlattenedSequenceData(&flat), PF_Err_NONE);
  EXPECT_EQ(host->sequenceData(), live);
  const fixture::SequenceRecord record = recordOf(flat);
  EXPECT_EQ(record.magic, fixture::kSequenceMagic);
  EXPECT_EQ(record.flat, 1u);
  EXPECT_EQ(host->accounts().handlesLive, 1);
}

TEST_F(CommandTest, SetdownEndsTheInstance) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->sequenceData(), nullptr);
  EXPECT_EQ(host->accounts().handlesLive, 0);
}

TEST_F(CommandTest, StoredBytesCannotReplaceLiveSequenceData) {
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  EXPECT_THROW(host->setSequenceDataBytes(std::vector<std::uint8_t>{1, 2, 3}), fxhost::HostError);
}

TEST_F(CommandTest, DialogGetsTheMainWindowAndChangesAValue) {
  setUpPlugin();
  const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
  host->options().mainWindow = window;
  ASSERT_EQ(host->doDialog(), PF_Err_NONE);
  char expected[64];
  std::snprintf(expected, sizeof expected, "window %p", static_cast<void*>(window));
  EXPECT_EQ(host->returnMessage(), expected);
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, 77);
  EXPECT_EQ(host->records().platformDataQueries, std::vector<PF_PlatDataID>{PF_PlatData_MAIN_WND});
}

TEST_F(CommandTest, DialogWithoutMainWindowGetsAnError) {
  setUpPlugin();
  EXPECT_EQ(host->doDialog(), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->returnMessage(), "no window (516)");
  EXPECT_EQ(host->param(fixture::kAmount).u.sd.value, fixture::kAmountDefault);
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

TEST_F(CommandTest, UpdateParamsUIRecordsEachChangeOnce) {
  setUpPlugin();
  host->param(fixture::kEnable).u.bd.value = 0;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(host->records().uiUpdates.size(), 1u);
  const fxhost::ParamUIUpdateRecord& update = host->records().uiUpdates.front();
  EXPECT_EQ(update.suiteVersion, 3);
  EXPECT_EQ(update.index, fixture::kTint);
  EXPECT_EQ(update.def.ui_flags & PF_PUI_DISABLED, PF_PUI_DISABLED);
  EXPECT_EQ(update.result, PF_Err_NONE);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, PF_PUI_DISABLED);

  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  EXPECT_EQ(host->records().uiUpdates.size(), 1u);

  host->param(fixture::kEnable).u.bd.value = 1;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(host->records().uiUpdates.size(), 2u);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, 0);
}

TEST_F(CommandTest, OlderHostsOfferParamUtilsVersion2) {
  host->options().version = PF_SpecVersion{13, 1};
  setUpPlugin();
  host->param(fixture::kEnable).u.bd.value = 0;
  ASSERT_EQ(host->updateParamsUI(), PF_Err_NONE);
  ASSERT_EQ(host->records().uiUpdates.size(), 1u);
  EXPECT_EQ(host->records().uiUpdates.front().suiteVersion, 2);
}

TEST_F(CommandTest, CommandsWithoutHandlingStillReachThePlugin) {
  const int before = host->accounts().commands;
  EXPECT_EQ(host->sendCommand(PF_Cmd_FRAME_SETUP), PF_Err_NONE);
  EXPECT_EQ(host->sendCommand(40), PF_Err_NONE);
  EXPECT_EQ(host->accounts().commands, before + 2);
}

TEST_F(CommandTest, ApplicationIdAndBasicSuiteAreConfigurable) {
  host->options().applId = host_sdk::kApplIdPremierePro;
  host->options().provideBasicSuite = false;
  EXPECT_EQ(host->about(), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->lastInData().appl_id, 0x50724D72);
  EXPECT_EQ(host->lastInData().pica_basicP, nullptr);
}

}  // namespace
