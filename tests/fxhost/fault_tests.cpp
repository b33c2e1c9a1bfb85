// Every failure the host can be told to produce fires: the call it aims at fails with the chosen
// error and leaves nothing usable behind, and succeeds again once the fault is taken away. The
// accounts stay balanced throughout (checked on tear-down).

#include <functional>

#include "test_support.h"

namespace {

using fxhost::Faults;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;

// The commands the fixture meets the faults on its way through.
using Send = PF_Err (*)(fxhost::Host&, OwnedWorld& input, OwnedWorld& output);
const Send kSmartRender = [](fxhost::Host& h, OwnedWorld& in, OwnedWorld& out) { return h.renderSmart(in, out); };
const Send kClassicRender = [](fxhost::Host& h, OwnedWorld& in, OwnedWorld& out) { return h.render(in, out); };
const Send kParamsSetup = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.paramsSetup(); };
const Send kAbout = [](fxhost::Host& h, OwnedWorld&, OwnedWorld&) { return h.about(); };

struct Fault {
  const char* name;
  Send send;
  std::function<void(Faults&)> arm;
  PF_Err error;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

const Fault kFaults[] = {
    {"RefusedSuite", kSmartRender, [](Faults& f) { f.refuseSuite(kPFWorldTransformSuite, 1); },
     kSPSuiteNotFoundError},
    {"Copy", kSmartRender, [](Faults& f) { f.copyError = PF_Err_INTERNAL_STRUCT_DAMAGED; },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"HandleAllocation", kSmartRender, [](Faults& f) { f.handleAllocation.arm(); }, PF_Err_OUT_OF_MEMORY},
    {"HandleLock", kSmartRender, [](Faults& f) { f.handleLock.arm(); }, PF_Err_INTERNAL_STRUCT_DAMAGED},
    {"ParamCheckout", kSmartRender,
     [](Faults& f) { f.paramCheckoutErrors[fixture::kTint] = PF_Err_INVALID_INDEX; }, PF_Err_INVALID_INDEX},
    {"CheckoutLayer", kSmartRender, [](Faults& f) { f.checkoutLayerError = PF_Interrupt_CANCEL; },
     PF_Interrupt_CANCEL},
    {"CheckoutLayerPixels", kSmartRender, [](Faults& f) { f.checkoutLayerPixelsError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"CheckoutOutput", kSmartRender, [](Faults& f) { f.checkoutOutputError = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    // A world not handed out leaves the output as it was.
    {"LayerPixelsAbsent", kSmartRender, [](Faults& f) { f.layerPixelsAbsent = true; }, PF_Err_NONE},
    {"OutputAbsent", kSmartRender, [](Faults& f) { f.outputAbsent = true; }, PF_Err_NONE},
    {"ParamCheckin", kClassicRender,
     [](Faults& f) { f.paramCheckinErrors[fixture::kGain] = PF_Err_INVALID_CALLBACK; }, PF_Err_INVALID_CALLBACK},
    {"AddParam", kParamsSetup, [](Faults& f) { f.addParamErrors[fixture::kTint] = PF_Err_OUT_OF_MEMORY; },
     PF_Err_OUT_OF_MEMORY},
    {"AppLanguage", kAbout, [](Faults& f) { f.appLanguageError = PF_Err_INTERNAL_STRUCT_DAMAGED; },
     PF_Err_INTERNAL_STRUCT_DAMAGED},
};

class FaultTest : public fxhost_test::HostTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultTest, FiresUntilTakenAway) {
  setUpPlugin();
  OwnedWorld input(PixelDepth::Eight, 4, 3), output(PixelDepth::Eight, 4, 3, 0, 0x5A);
  fxhost_test::paint(input);
  const auto send = [&] { return GetParam().send(*host, input, output); };
  GetParam().arm(host->faults());
  EXPECT_EQ(send(), GetParam().error);
  EXPECT_EQ(output.packedPixels(), std::vector<std::uint8_t>(48, 0x5A));
  // The language query leaves the caller's buffer as it was.
  if (GetParam().send == kAbout) {
    EXPECT_EQ(host->returnMessage(), "fixture  13.28");
  }
  host->faults() = Faults{};
  EXPECT_EQ(send(), PF_Err_NONE);
  const bool renders = GetParam().send == kSmartRender || GetParam().send == kClassicRender;
  EXPECT_EQ(output.packedPixels() == input.packedPixels(), renders);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// The faults of calls the fixture does not make, and the countdown's course.
using DirectFaultTest = fxhost_test::HostTest;

TEST_F(DirectFaultTest, WorldsCheckoutsAndUpdatesFailAsChosen) {
  const auto* worlds1 = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  const auto* worlds2 = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  const auto* ui = acquire<PF_ParamUtilsSuite3>(kPFParamUtilsSuite, 3);
  host->faults().newWorldError = PF_Err_OUT_OF_MEMORY;
  PF_EffectWorld world;
  std::memset(static_cast<void*>(&world), 0xAB, sizeof world);
  // Every way of making a world fails alike, and leaves an empty record.
  EXPECT_EQ(utils->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(worlds1->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(worlds2->PF_NewWorld(in->effect_ref, 2, 2, true, PF_PixelFormat_ARGB128, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(std::tuple(world.data, world.width), std::tuple(nullptr, 0));
  host->faults() = Faults{};
  ASSERT_EQ(worlds1->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_NONE);
  host->faults().pixelFormatError = PF_Err_BAD_CALLBACK_PARAM;
  PF_PixelFormat format = 0;
  EXPECT_EQ(worlds2->PF_GetPixelFormat(&world, &format), PF_Err_BAD_CALLBACK_PARAM);
  // The world is gone all the same: a world left over would be an imbalance.
  host->faults().disposeWorldError = PF_Err_INVALID_CALLBACK;
  EXPECT_EQ(worlds1->dispose_world(in->effect_ref, &world), PF_Err_INVALID_CALLBACK);
  // A failed checkout leaves no usable value, and nothing to check in.
  host->faults().paramCheckoutErrors[0] = PF_Err_INVALID_INDEX;
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, 0, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&def);
  EXPECT_EQ(std::count(bytes, bytes + sizeof def, 0xCD), static_cast<std::ptrdiff_t>(sizeof def));
  host->faults().updateParamUIError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  EXPECT_EQ(ui->PF_UpdateParamUI(in->effect_ref, 0, &def), PF_Err_INTERNAL_STRUCT_DAMAGED);
  host->faults() = Faults{};
  EXPECT_EQ(ui->PF_UpdateParamUI(in->effect_ref, 0, &def), PF_Err_NONE);
  basic->ReleaseSuite(kPFWorldSuite, 1);
  basic->ReleaseSuite(kPFWorldSuite, 2);
  basic->ReleaseSuite(kPFParamUtilsSuite, 3);
}

TEST_F(DirectFaultTest, CountdownLetsTheChosenNumberOfCallsSucceedThenFailsUntilDisarmed) {
  const auto allocations = [&](int count) {
    std::vector<bool> made;
    for (int i = 0; i < count; ++i) {
      PF_Handle handle = utils->host_new_handle(1);
      made.push_back(handle != nullptr);
      if (handle != nullptr) utils->host_dispose_handle(handle);
    }
    return made;
  };
  host->faults().handleAllocation.arm(2);
  EXPECT_EQ(allocations(4), (std::vector<bool>{true, true, false, false}));
  host->faults().handleAllocation.disarm();
  EXPECT_EQ(allocations(1), std::vector<bool>{true});
}

}  // namespace
