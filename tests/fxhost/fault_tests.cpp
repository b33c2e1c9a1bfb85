// The faults no plug-in code here meets. The rest fire through the real plug-in's code, where the
// answer shows: tests/plugin's failure table (suites, handles, checkouts, add_param, absent output,
// UI updates, pixel format, scratch world), host_render's kernel frame (copy) and tests/plugin's
// language tests (the language query). The accounts stay balanced (tear-down).

#include "test_support.h"

namespace {

using fxhost::Faults;
using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using FaultTest = fxhost_test::HostTest;

// A layer checkout without pixels leaves the output as it was; a failed language query leaves the
// caller's buffer as it was. Taken away, the same render copies.
TEST_F(FaultTest, AbsentLayerPixelsAndAFailedLanguageQueryLeaveThingsAsTheyWere) {
  setUpPlugin();
  OwnedWorld input(PixelDepth::Eight, 4, 3), output(PixelDepth::Eight, 4, 3, 0, 0x5A);
  fxhost_test::paint(input);
  host->faults().layerPixelsAbsent = true;
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(output.packedPixels(), std::vector<std::uint8_t>(48, 0x5A));
  host->faults().appLanguageError = PF_Err_INTERNAL_STRUCT_DAMAGED;
  EXPECT_EQ(host->about(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(host->returnMessage(), "fixture  13.28");
  host->faults() = Faults{};
  EXPECT_EQ(host->renderSmart(input, output), PF_Err_NONE);
  EXPECT_EQ(output.packedPixels(), input.packedPixels());
}

// Every way of making a world fails alike and leaves an empty record (the plug-in uses World Suite
// 1 only); a failed dispose, which the plug-in ignores, still frees the world; a failed checkout
// leaves nothing usable.
TEST_F(FaultTest, WorldsAndCheckoutsFailAsChosen) {
  const auto* worlds1 = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  const auto* worlds2 = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  host->faults().newWorldError = PF_Err_OUT_OF_MEMORY;
  PF_EffectWorld world;
  std::memset(static_cast<void*>(&world), 0xAB, sizeof world);
  EXPECT_EQ(utils->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(worlds1->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(worlds2->PF_NewWorld(in->effect_ref, 2, 2, true, PF_PixelFormat_ARGB128, &world), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(std::tuple(world.data, world.width), std::tuple(nullptr, 0));
  host->faults() = Faults{};
  ASSERT_EQ(worlds1->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_NONE);
  host->faults().disposeWorldError = PF_Err_INVALID_CALLBACK;
  EXPECT_EQ(worlds1->dispose_world(in->effect_ref, &world), PF_Err_INVALID_CALLBACK);
  host->faults().paramCheckoutErrors[0] = PF_Err_INVALID_INDEX;
  PF_ParamDef def{};
  EXPECT_EQ(in->inter.checkout_param(in->effect_ref, 0, 0, 1, 24, &def), PF_Err_INVALID_INDEX);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&def);
  EXPECT_EQ(std::count(bytes, bytes + sizeof def, 0xCD), static_cast<std::ptrdiff_t>(sizeof def));
  basic->ReleaseSuite(kPFWorldSuite, 1);
  basic->ReleaseSuite(kPFWorldSuite, 2);
}

// The plug-in's failure table arms countdowns at 0 and 1, which fail alike there.
TEST_F(FaultTest, CountdownLetsTheChosenNumberOfCallsSucceedThenFailsUntilDisarmed) {
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
