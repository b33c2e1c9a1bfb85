// Every failure the host can inject, seen from the fixture: the error reaches the plug-in, the
// plug-in's result reaches the caller, and the accounts stay balanced.

#include <cstring>

#include "render_support.h"
#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::FixtureTest;
using fxhost_test::paint;

constexpr std::uint8_t kUnwritten = 0x5A;

class FaultTest : public FixtureTest {
 protected:
  void SetUp() override {
    FixtureTest::SetUp();
    setUpPlugin();
    paint(input);
  }

  bool outputUntouched() const { return output.packedPixels() == std::vector<std::uint8_t>(48, kUnwritten); }

  OwnedWorld input{PixelDepth::Eight, 4, 3};
  OwnedWorld output{PixelDepth::Eight, 4, 3, 0, kUnwritten};
};

TEST_F(FaultTest, ARefusedSuiteFailsTheRender) {
  host->faults().refuseSuite(kPFWorldTransformSuite, 1);
  EXPECT_EQ(host->renderSmart(input, output), kSPSuiteNotFoundError);
  EXPECT_TRUE(outputUntouched());
  const std::vector<std::string>& calls = host->records().suiteCalls;
  EXPECT_NE(std::find(calls.begin(), calls.end(),
                      "acquire \"PF World Transform Suite\" 1: " + std::to_string(kSPSuiteNotFoundError)),
            calls.end());
}

TEST_F(FaultTest, ARefusedAppSuiteLeavesTheLanguageUnknown) {
  host->faults().refuseSuite(kPFAppSuite, 7);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture without language (" + std::to_string(kSPSuiteNotFoundError) + ")");
}

TEST_F(FaultTest, ARefusedParamUtilsSuiteFailsTheUpdate) {
  host->faults().refuseSuite(kPFParamUtilsSuite, 3);
  EXPECT_EQ(host->updateParamsUI(), kSPSuiteNotFoundError);
}

TEST_F(FaultTest, NewWorldFailsWithTheChosenError) {
  host->faults().newWorldError = PF_Err_OUT_OF_MEMORY;
  EXPECT_EQ(host->render(input, output), PF_Err_OUT_OF_MEMORY);
  // The copy came before the scratch world.
  EXPECT_EQ(output.packedPixels(), input.packedPixels());
  EXPECT_EQ(host->accounts().worldsCreated, 0);
}

TEST_F(FaultTest, AFailedNewWorldLeavesAnEmptyRecord) {
  host->faults().newWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  const PF_InData& in = host->lastInData();
  const void* table = nullptr;
  ASSERT_EQ(in.pica_basicP->AcquireSuite(kPFWorldSuite, 2, &table), kSPNoError);
  PF_EffectWorld world = *input.world();
  EXPECT_EQ(static_cast<const PF_WorldSuite2*>(table)->PF_NewWorld(in.effect_ref, 2, 2, true, PF_PixelFormat_ARGB32, &world),
            PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(world.data, nullptr);
  EXPECT_EQ(world.width, 0);
  in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
}

TEST_F(FaultTest, CopyFailsWithTheChosenError) {
  host->faults().copyError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_TRUE(outputUntouched());
  ASSERT_EQ(host->records().copies.size(), 1u);
  EXPECT_EQ(host->records().copies[0].result, PF_Err_INTERNAL_STRUCT_DAMAGED);
}

TEST_F(FaultTest, PixelFormatFailsWithTheChosenError) {
  host->faults().pixelFormatError = PF_Err_BAD_CALLBACK_PARAM;
  EXPECT_EQ(host->render(input, output), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, HandleAllocationFails) {
  host->faults().handleAllocation.arm();
  EXPECT_EQ(host->sequenceSetup(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->sequenceData(), nullptr);
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->records().layerPixelCheckouts, 0);
  host->faults().handleAllocation.disarm();
  EXPECT_EQ(host->sequenceSetup(), PF_Err_NONE);
}

TEST_F(FaultTest, HandleAllocationFailsAfterTheChosenNumberOfSuccesses) {
  host->faults().handleAllocation.arm(1);
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const PF_Handle live = host->sequenceData();
  EXPECT_EQ(host->sequenceFlatten(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->sequenceData(), live);
  EXPECT_EQ(host->sequenceFlatten(), PF_Err_OUT_OF_MEMORY);
  host->faults().handleAllocation.disarm();
}

TEST_F(FaultTest, HandleLockingFails) {
  host->faults().handleLock.arm();
  EXPECT_EQ(host->sequenceSetup(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->sequenceData(), nullptr);
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ(accounts.handlesAllocated, 2);
  EXPECT_EQ(accounts.handlesLive, 1);
  host->faults().handleLock.disarm();
}

TEST_F(FaultTest, AParameterCheckoutFailsWithTheChosenError) {
  host->faults().paramCheckoutErrors[fixture::kTint] = PF_Err_INVALID_INDEX;
  EXPECT_EQ(host->render(input, output), PF_Err_INVALID_INDEX);
  const auto& checkouts = host->records().paramCheckouts;
  ASSERT_EQ(checkouts.size(), 3u);
  EXPECT_EQ(checkouts[2].index, fixture::kTint);
  EXPECT_EQ(checkouts[2].result, PF_Err_INVALID_INDEX);
  EXPECT_EQ(host->accounts().paramCheckins, 2);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, AFailedCheckoutLeavesNoUsableDefinition) {
  host->faults().paramCheckoutErrors[fixture::kAmount] = PF_Err_OUT_OF_MEMORY;
  const PF_InData& in = host->lastInData();
  PF_ParamDef def{};
  EXPECT_EQ(in.inter.checkout_param(in.effect_ref, fixture::kAmount, 0, 1, 24, &def), PF_Err_OUT_OF_MEMORY);
  std::vector<std::uint8_t> bytes(sizeof def);
  std::memcpy(bytes.data(), &def, sizeof def);
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(sizeof def, 0xCD));
  EXPECT_EQ(host->accounts().paramCheckouts, 0);
}

TEST_F(FaultTest, AParameterCheckinFailsWithTheChosenError) {
  host->faults().paramCheckinErrors[fixture::kGain] = PF_Err_INVALID_CALLBACK;
  EXPECT_EQ(host->render(input, output), PF_Err_INVALID_CALLBACK);
  EXPECT_EQ(host->accounts().paramCheckins, 6);
}

TEST_F(FaultTest, AddingAParameterFailsWithTheChosenError) {
  host->faults().addParamErrors[fixture::kTint] = PF_Err_OUT_OF_MEMORY;
  EXPECT_EQ(host->paramsSetup(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->paramCount(), 3);
  const auto& added = host->records().addedParams;
  ASSERT_EQ(added.size(), 9u);
  EXPECT_EQ(added.back().result, PF_Err_OUT_OF_MEMORY);
  EXPECT_STREQ(added.back().def.name, "tint");
}

TEST_F(FaultTest, TheLayerCheckoutFailsWithTheChosenError) {
  host->faults().checkoutLayerError = PF_Interrupt_CANCEL;
  EXPECT_EQ(host->renderSmart(input, output), PF_Interrupt_CANCEL);
  EXPECT_EQ(host->records().layerCheckouts.back().result, PF_Interrupt_CANCEL);
  EXPECT_EQ(host->records().layerPixelCheckouts, 0);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, TheLayerPixelCheckoutFailsWithTheChosenError) {
  host->faults().checkoutLayerPixelsError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->records().layerPixelCheckouts, 1);
  EXPECT_EQ(host->records().outputCheckouts, 0);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, TheOutputCheckoutFailsWithTheChosenError) {
  host->faults().checkoutOutputError = PF_Err_OUT_OF_MEMORY;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->records().outputCheckouts, 1);
  EXPECT_EQ(host->records().layerPixelCheckins, 0);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, LayerPixelsCanBeAbsent) {
  host->faults().layerPixelsAbsent = true;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(host->records().layerPixelCheckins, 1);
  EXPECT_TRUE(host->records().copies.empty());
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, TheOutputCanBeAbsent) {
  host->faults().outputAbsent = true;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(host->records().layerPixelCheckins, 1);
  EXPECT_TRUE(outputUntouched());
}

TEST_F(FaultTest, TheLanguageQueryFailsWithTheChosenError) {
  host->faults().appLanguageError = A_Err_MISSING_SUITE;
  EXPECT_EQ(host->about(), A_Err_MISSING_SUITE);
  EXPECT_EQ(host->returnMessage(), "fixture  13.28");
}

TEST_F(FaultTest, UpdateParamUIFailsWithTheChosenError) {
  host->faults().updateParamUIError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  host->param(fixture::kEnable).u.bd.value = 0;
  EXPECT_EQ(host->updateParamsUI(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  ASSERT_EQ(host->records().uiUpdates.size(), 1u);
  EXPECT_EQ(host->records().uiUpdates[0].result, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, 0);
}

}  // namespace
