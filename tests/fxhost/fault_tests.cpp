// Every failure the host can inject, seen from the fixture: the error reaches the plug-in, the
// plug-in's result reaches the caller, and the accounts stay balanced (checked on tear-down).

#include <array>
#include <cstring>
#include <functional>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::FixtureTest;

constexpr std::uint8_t kUnwritten = 0x5A;
const std::string kNotFound = std::to_string(kSPSuiteNotFoundError);

class FaultTest : public FixtureTest {
 protected:
  void SetUp() override {
    FixtureTest::SetUp();
    setUpPlugin();
    fxhost_test::paint(input);
  }

  OwnedWorld input{PixelDepth::Eight, 4, 3};
  OwnedWorld output{PixelDepth::Eight, 4, 3, 0, kUnwritten};
};

// What a render left behind: layer pixel checkouts, output checkouts, layer pixel check-ins,
// copies, parameter checkouts, parameter check-ins, worlds created.
using Counts = std::array<int, 7>;

struct RenderFault {
  const char* name;
  bool smart;
  std::function<void(fxhost::Faults&)> arm;
  PF_Err result;
  bool outputCopied;  // otherwise untouched
  Counts counts;
};

void PrintTo(const RenderFault& fault, std::ostream* out) { *out << fault.name; }

class RenderFaultTest : public FaultTest, public ::testing::WithParamInterface<RenderFault> {};

TEST_P(RenderFaultTest, ReachesThePluginAndItsResultTheCaller) {
  GetParam().arm(host->faults());
  EXPECT_EQ(GetParam().smart ? host->renderSmart(input, output) : host->render(input, output), GetParam().result);
  const std::vector<std::uint8_t> untouched(48, kUnwritten);
  EXPECT_EQ(output.packedPixels(), GetParam().outputCopied ? input.packedPixels() : untouched);
  const fxhost::Records& records = host->records();
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ((Counts{records.layerPixelCheckouts, records.outputCheckouts, records.layerPixelCheckins,
                    static_cast<int>(records.copies.size()), accounts.paramCheckouts, accounts.paramCheckins,
                    accounts.worldsCreated}),
            GetParam().counts);
  host->faults().handleAllocation.disarm();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RenderFaultTest,
    ::testing::Values(
        RenderFault{"RefusedTransformSuite", true, [](fxhost::Faults& f) { f.refuseSuite(kPFWorldTransformSuite, 1); },
                    kSPSuiteNotFoundError, false, {1, 1, 0, 0, 6, 0, 0}},
        RenderFault{"Copy", true, [](fxhost::Faults& f) { f.copyError = PF_Err_INTERNAL_STRUCT_DAMAGED; },
                    PF_Err_INTERNAL_STRUCT_DAMAGED, false, {1, 1, 0, 1, 6, 0, 0}},
        RenderFault{"HandleAllocation", true, [](fxhost::Faults& f) { f.handleAllocation.arm(); },
                    PF_Err_OUT_OF_MEMORY, false, {0, 0, 0, 0, 6, 0, 0}},
        RenderFault{"CheckoutLayer", true, [](fxhost::Faults& f) { f.checkoutLayerError = PF_Interrupt_CANCEL; },
                    PF_Interrupt_CANCEL, false, {0, 0, 0, 0, 6, 0, 0}},
        RenderFault{"CheckoutLayerPixels", true,
                    [](fxhost::Faults& f) { f.checkoutLayerPixelsError = PF_Err_INTERNAL_STRUCT_DAMAGED; },
                    PF_Err_INTERNAL_STRUCT_DAMAGED, false, {1, 0, 0, 0, 6, 0, 0}},
        RenderFault{"CheckoutOutput", true, [](fxhost::Faults& f) { f.checkoutOutputError = PF_Err_OUT_OF_MEMORY; },
                    PF_Err_OUT_OF_MEMORY, false, {1, 1, 0, 0, 6, 0, 0}},
        RenderFault{"LayerPixelsAbsent", true, [](fxhost::Faults& f) { f.layerPixelsAbsent = true; }, PF_Err_NONE,
                    false, {1, 1, 1, 0, 6, 0, 0}},
        RenderFault{"OutputAbsent", true, [](fxhost::Faults& f) { f.outputAbsent = true; }, PF_Err_NONE, false,
                    {1, 1, 1, 0, 6, 0, 0}},
        // The classic render copies before it makes its scratch world.
        RenderFault{"NewWorld", false, [](fxhost::Faults& f) { f.newWorldError = PF_Err_OUT_OF_MEMORY; },
                    PF_Err_OUT_OF_MEMORY, true, {0, 0, 0, 1, 6, 6, 0}},
        RenderFault{"PixelFormat", false, [](fxhost::Faults& f) { f.pixelFormatError = PF_Err_BAD_CALLBACK_PARAM; },
                    PF_Err_BAD_CALLBACK_PARAM, false, {0, 0, 0, 0, 6, 6, 0}},
        RenderFault{"ParamCheckout", false,
                    [](fxhost::Faults& f) { f.paramCheckoutErrors[fixture::kTint] = PF_Err_INVALID_INDEX; },
                    PF_Err_INVALID_INDEX, false, {0, 0, 0, 0, 2, 2, 0}},
        RenderFault{"ParamCheckin", false,
                    [](fxhost::Faults& f) { f.paramCheckinErrors[fixture::kGain] = PF_Err_INVALID_CALLBACK; },
                    PF_Err_INVALID_CALLBACK, true, {0, 0, 0, 1, 6, 6, 1}}),
    [](const ::testing::TestParamInfo<RenderFault>& info) { return std::string(info.param.name); });

TEST_F(FaultTest, FailedCallsLeaveEmptyRecordsAndAreRecorded) {
  host->faults().newWorldError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  host->faults().paramCheckoutErrors[fixture::kAmount] = PF_Err_OUT_OF_MEMORY;
  const PF_InData& in = host->lastInData();
  const void* table = nullptr;
  ASSERT_EQ(in.pica_basicP->AcquireSuite(kPFWorldSuite, 2, &table), kSPNoError);
  PF_EffectWorld world = *input.world();
  EXPECT_EQ(static_cast<const PF_WorldSuite2*>(table)->PF_NewWorld(in.effect_ref, 2, 2, true, PF_PixelFormat_ARGB32, &world),
            PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(world.data, nullptr);
  EXPECT_EQ(world.width, 0);
  in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
  PF_ParamDef def{};
  EXPECT_EQ(in.inter.checkout_param(in.effect_ref, fixture::kAmount, 0, 1, 24, &def), PF_Err_OUT_OF_MEMORY);
  std::vector<std::uint8_t> bytes(sizeof def);
  std::memcpy(bytes.data(), &def, sizeof def);
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(sizeof def, 0xCD));
  EXPECT_EQ(host->accounts().paramCheckouts, 0);
  ASSERT_EQ(host->records().paramCheckouts.size(), 1u);
  EXPECT_EQ(host->records().paramCheckouts[0].result, PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->accounts().worldsCreated, 0);
}

TEST_F(FaultTest, HandleFaultsFireAfterTheChosenNumberOfSuccessesUntilDisarmed) {
  host->faults().handleAllocation.arm();
  EXPECT_EQ(host->sequenceSetup(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->sequenceData(), nullptr);
  host->faults().handleAllocation.arm(1);
  ASSERT_EQ(host->sequenceSetup(), PF_Err_NONE);
  const PF_Handle live = host->sequenceData();
  EXPECT_EQ(host->sequenceFlatten(), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(host->sequenceData(), live);
  EXPECT_EQ(host->sequenceFlatten(), PF_Err_OUT_OF_MEMORY);
  host->faults().handleAllocation.disarm();
  EXPECT_EQ(host->sequenceFlatten(), PF_Err_NONE);
  ASSERT_EQ(host->sequenceSetdown(), PF_Err_NONE);
  // A lock that fails: the fixture disposes of the handle it could not lock.
  host->faults().handleLock.arm();
  EXPECT_EQ(host->sequenceSetup(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->sequenceData(), nullptr);
  host->faults().handleLock.disarm();
  const fxhost::AccountsReport accounts = host->accounts();
  EXPECT_EQ(accounts.handlesAllocated, 4);
  EXPECT_EQ(accounts.handlesLive, 1);
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

TEST_F(FaultTest, TheAppSuiteAndTheLanguageQueryCanFail) {
  host->faults().refuseSuite(kPFAppSuite, 7);
  ASSERT_EQ(host->about(), PF_Err_NONE);
  EXPECT_EQ(host->returnMessage(), "fixture without language (" + kNotFound + ")");
  host->faults().refusedSuites.clear();
  host->faults().appLanguageError = A_Err_MISSING_SUITE;
  EXPECT_EQ(host->about(), A_Err_MISSING_SUITE);
  EXPECT_EQ(host->returnMessage(), "fixture  13.28");
}

TEST_F(FaultTest, TheParamUtilsSuiteAndUpdateParamUICanFail) {
  host->param(fixture::kEnable).u.bd.value = 0;
  host->faults().refuseSuite(kPFParamUtilsSuite, 3);
  EXPECT_EQ(host->updateParamsUI(), kSPSuiteNotFoundError);
  host->faults().refusedSuites.clear();
  host->faults().updateParamUIError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  EXPECT_EQ(host->updateParamsUI(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  ASSERT_EQ(host->records().uiUpdates.size(), 1u);
  EXPECT_EQ(host->records().uiUpdates[0].result, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->param(fixture::kTint).ui_flags & PF_PUI_DISABLED, 0);
}

}  // namespace
