// Worlds: the host's own frames, the worlds a plug-in asks for, pixel formats and copies.

#include <cstring>

#include "render_support.h"
#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::DirectTest;
using fxhost_test::paint;

TEST(OwnedWorld, CarriesDepthFlagAndItsOwnStride) {
  const OwnedWorld eight(PixelDepth::Eight, 3, 2, 3);
  const OwnedWorld sixteen(PixelDepth::Sixteen, 3, 2, 6);
  const OwnedWorld floats(PixelDepth::Float, 3, 2, 8);
  EXPECT_EQ(eight.world()->world_flags, 0);
  EXPECT_EQ(sixteen.world()->world_flags, PF_WorldFlag_DEEP);
  EXPECT_EQ(floats.world()->world_flags, 0);
  EXPECT_EQ(eight.rowbytes(), 15);
  EXPECT_EQ(sixteen.rowbytes(), 30);
  EXPECT_EQ(floats.rowbytes(), 56);
  EXPECT_EQ(floats.world()->width, 3);
  EXPECT_EQ(floats.world()->height, 2);
  EXPECT_EQ(floats.world()->extent_hint, (PF_LRect{0, 0, 3, 2}));
  EXPECT_EQ(floats.world()->pix_aspect_ratio.num, 1);
  EXPECT_EQ(floats.world()->pix_aspect_ratio.den, 1u);
}

TEST(OwnedWorld, RefusesPaddingThatSplitsAChannel) {
  EXPECT_THROW(OwnedWorld(PixelDepth::Float, 2, 2, 2), fxhost::HostError);
  EXPECT_THROW(OwnedWorld(PixelDepth::Sixteen, 2, 2, 3), fxhost::HostError);
  EXPECT_THROW(OwnedWorld(PixelDepth::Eight, -1, 2), fxhost::HostError);
  EXPECT_THROW(OwnedWorld(PixelDepth::Eight, 30001, 1), fxhost::HostError);
}

TEST(OwnedWorld, PackedPixelsLeaveThePaddingOut) {
  OwnedWorld world(PixelDepth::Eight, 2, 2, 3, 0);
  const std::vector<std::uint8_t> pixels{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  world.setPackedPixels(pixels);
  EXPECT_EQ(world.packedPixels(), pixels);
  EXPECT_EQ(world.row(1)[0], 9);
  EXPECT_TRUE(world.paddingUntouched());
  world.row(0)[8] = 0;
  EXPECT_FALSE(world.paddingUntouched());
  EXPECT_THROW(world.setPackedPixels(std::vector<std::uint8_t>(15)), fxhost::HostError);
}

TEST(OwnedWorld, IsFoundByItsPixelAddressWhileItLives) {
  const void* data = nullptr;
  {
    const OwnedWorld world(PixelDepth::Sixteen, 1, 1);
    data = world.world()->data;
    EXPECT_EQ(fxhost::findWorld(data), &world);
  }
  EXPECT_EQ(fxhost::findWorld(data), nullptr);
}

TEST(OwnedWorld, AnEmptyWorldStillHasAnAddress) {
  const OwnedWorld a(PixelDepth::Eight, 0, 0);
  const OwnedWorld b(PixelDepth::Eight, 0, 0);
  EXPECT_NE(a.world()->data, nullptr);
  EXPECT_NE(a.world()->data, b.world()->data);
}

using WorldSuiteTest = DirectTest;

TEST_F(WorldSuiteTest, NewWorldsComeInEveryFormatAndReportIt) {
  host->options().newWorldRowPadding = 8;
  const auto* worlds = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  const std::pair<PF_PixelFormat, A_long> formats[] = {
      {PF_PixelFormat_ARGB32, 4}, {PF_PixelFormat_ARGB64, 8}, {PF_PixelFormat_ARGB128, 16}};
  for (const auto& [format, pixelBytes] : formats) {
    PF_EffectWorld world{};
    ASSERT_EQ(worlds->PF_NewWorld(in->effect_ref, 3, 2, true, format, &world), PF_Err_NONE);
    EXPECT_EQ(world.rowbytes, 3 * pixelBytes + 8);
    EXPECT_EQ(world.world_flags & PF_WorldFlag_DEEP, format == PF_PixelFormat_ARGB64 ? PF_WorldFlag_DEEP : 0);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(world.data);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[world.rowbytes + 3 * pixelBytes - 1], 0);
    // A copy of the record is the same world to the host.
    const PF_EffectWorld copy = world;
    PF_PixelFormat reported = 0;
    EXPECT_EQ(worlds->PF_GetPixelFormat(&copy, &reported), PF_Err_NONE);
    EXPECT_EQ(reported, format);
    EXPECT_EQ(worlds->PF_DisposeWorld(in->effect_ref, &world), PF_Err_NONE);
  }
  PF_EffectWorld world{};
  EXPECT_EQ(worlds->PF_NewWorld(in->effect_ref, 3, 2, true, PF_PixelFormat_BGRA32, &world), PF_Err_UNRECOGNIZED_PARAM_TYPE);
  basic->ReleaseSuite(kPFWorldSuite, 2);
  EXPECT_EQ(host->accounts().worldsCreated, 3);
  EXPECT_EQ(host->accounts().worldsDisposed, 3);
}

TEST_F(WorldSuiteTest, WorldsNotAskedToBeClearedAreNot) {
  const auto* worlds = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  PF_EffectWorld world{};
  ASSERT_EQ(worlds->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_NONE, &world), PF_Err_NONE);
  EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(world.data)[0], 0xCD);
  EXPECT_EQ(world.rowbytes, 8);
  EXPECT_EQ(worlds->dispose_world(in->effect_ref, &world), PF_Err_NONE);
  ASSERT_EQ(worlds->new_world(in->effect_ref, 2, 2, PF_NewWorldFlag_DEEP_PIXELS, &world), PF_Err_NONE);
  EXPECT_EQ(world.world_flags & PF_WorldFlag_DEEP, PF_WorldFlag_DEEP);
  EXPECT_EQ(world.rowbytes, 16);
  EXPECT_EQ(worlds->dispose_world(in->effect_ref, &world), PF_Err_NONE);
  basic->ReleaseSuite(kPFWorldSuite, 1);
}

TEST_F(WorldSuiteTest, DisposingAWorldTheHostDidNotMakeIsBooked) {
  const auto* worlds = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  OwnedWorld frame(PixelDepth::Eight, 2, 2);
  EXPECT_EQ(worlds->dispose_world(in->effect_ref, frame.world()), PF_Err_BAD_CALLBACK_PARAM);
  basic->ReleaseSuite(kPFWorldSuite, 1);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"outside any command: dispose_world of a world the host did not make"});
}

TEST_F(WorldSuiteTest, PixelFormatOfAnUnknownWorldFails) {
  const auto* worlds = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  PF_EffectWorld stranger{};
  PF_PixelFormat format = 0;
  EXPECT_EQ(worlds->PF_GetPixelFormat(&stranger, &format), PF_Err_BAD_CALLBACK_PARAM);
  basic->ReleaseSuite(kPFWorldSuite, 2);
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"outside any command: PF_GetPixelFormat of a world the host does not know"});
}

class CopyTest : public DirectTest {
 protected:
  void SetUp() override {
    DirectTest::SetUp();
    transform = acquire<PF_WorldTransformSuite1>(kPFWorldTransformSuite, 1);
    paint(source);
  }
  void TearDown() override {
    releaseSuite();
    DirectTest::TearDown();
  }

  void releaseSuite() {
    if (transform != nullptr) basic->ReleaseSuite(kPFWorldTransformSuite, 1);
    transform = nullptr;
  }

  PF_Err copy(OwnedWorld& from, OwnedWorld& to, PF_Rect* fromRect, PF_Rect* toRect) {
    return transform->copy(in->effect_ref, from.world(), to.world(), fromRect, toRect);
  }

  const PF_WorldTransformSuite1* transform = nullptr;
  OwnedWorld source{PixelDepth::Float, 4, 4, 4};
  OwnedWorld destination{PixelDepth::Float, 4, 4, 12, 0};
};

TEST_F(CopyTest, CopiesTheWholeWorldWithoutRectangles) {
  ASSERT_EQ(copy(source, destination, nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(destination.packedPixels(), source.packedPixels());
  EXPECT_TRUE(destination.paddingUntouched());
}

TEST_F(CopyTest, HonoursRectangles) {
  PF_Rect from{1, 2, 3, 4};
  PF_Rect to{0, 0, 2, 2};
  ASSERT_EQ(copy(source, destination, &from, &to), PF_Err_NONE);
  for (A_long y = 0; y < 4; ++y) {
    for (A_long x = 0; x < 4; ++x) {
      const bool inside = x < 2 && y < 2;
      float expected = 0.0f;
      if (inside) std::memcpy(&expected, source.row(y + 2) + (x + 1) * 16, 4);
      float actual = -1.0f;
      std::memcpy(&actual, destination.row(y) + x * 16, 4);
      EXPECT_EQ(actual, expected) << x << "," << y;
    }
  }
  const fxhost::CopyRecord& record = host->records().copies.back();
  EXPECT_FALSE(record.wholeSource);
  EXPECT_EQ(record.sourceRect, from);
  EXPECT_EQ(record.destinationRect, to);
}

TEST_F(CopyTest, RefusesCopiesThatWouldScaleOrLeaveTheWorld) {
  PF_Rect small{0, 0, 2, 2};
  PF_Rect big{0, 0, 3, 3};
  PF_Rect outside{2, 2, 5, 5};
  PF_Rect inverted{2, 2, 1, 1};
  EXPECT_EQ(copy(source, destination, &small, &big), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(source, destination, &outside, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(source, destination, &inverted, &inverted), PF_Err_BAD_CALLBACK_PARAM);
  OwnedWorld wider(PixelDepth::Float, 5, 4);
  EXPECT_EQ(copy(source, wider, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  OwnedWorld eight(PixelDepth::Eight, 4, 4);
  EXPECT_EQ(copy(source, eight, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().copies.size(), 5u);
}

TEST_F(CopyTest, RefusesAWorldRecordWithAChangedSize) {
  PF_EffectWorld damaged = *source.world();
  damaged.rowbytes -= 4;
  EXPECT_EQ(transform->copy(in->effect_ref, &damaged, destination.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  releaseSuite();
  EXPECT_EQ(finalAccounts().imbalances,
            std::vector<std::string>{"outside any command: copy of a world record whose size was changed"});
}

TEST_F(CopyTest, TheUtilityCallbacksCopyAlike) {
  ASSERT_EQ(utils->copy(in->effect_ref, source.world(), destination.world(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(destination.packedPixels(), source.packedPixels());
}

}  // namespace
