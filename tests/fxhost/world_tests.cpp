// Worlds: the host's own frames, the worlds a plug-in asks for, pixel formats and copies.

#include <cstring>
#include <tuple>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;
using fxhost_test::DirectTest;
using fxhost_test::paint;

TEST(OwnedWorld, CarriesDepthFlagAndItsOwnStride) {
  const std::tuple<PixelDepth, A_long, A_long, A_long> depths[] = {  // padding, flags, rowbytes
      {PixelDepth::Eight, 3, 0, 15}, {PixelDepth::Sixteen, 6, PF_WorldFlag_DEEP, 30}, {PixelDepth::Float, 8, 0, 56}};
  for (const auto& [depth, padding, flags, rowbytes] : depths) {
    const OwnedWorld world(depth, 3, 2, padding);
    EXPECT_EQ(world.world()->world_flags, flags);
    EXPECT_EQ(world.rowbytes(), rowbytes);
    EXPECT_EQ(world.world()->width, 3);
    EXPECT_EQ(world.world()->height, 2);
    EXPECT_EQ(world.world()->extent_hint, (PF_LRect{0, 0, 3, 2}));
    EXPECT_EQ(world.world()->pix_aspect_ratio.num, 1);
    EXPECT_EQ(world.world()->pix_aspect_ratio.den, 1u);
  }
}

TEST(OwnedWorld, RefusesPaddingThatSplitsAChannelAndSizesOutOfRange) {
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

TEST(OwnedWorld, IsFoundByItsPixelAddressWhileItLivesEvenWhenEmpty) {
  const void* data = nullptr;
  {
    const OwnedWorld world(PixelDepth::Sixteen, 1, 1);
    const OwnedWorld a(PixelDepth::Eight, 0, 0), b(PixelDepth::Eight, 0, 0);
    data = world.world()->data;
    EXPECT_EQ(fxhost::findWorld(data), &world);
    EXPECT_NE(a.world()->data, nullptr);
    EXPECT_NE(a.world()->data, b.world()->data);
    EXPECT_EQ(fxhost::findWorld(a.world()->data), &a);
  }
  EXPECT_EQ(fxhost::findWorld(data), nullptr);
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

// World Suite 1 clears only when asked, and makes deep worlds when asked.
TEST_F(WorldSuiteTest, SuiteOneWorldsAreClearedAndDeepOnlyWhenAsked) {
  const auto* worlds = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  for (const auto& [flags, rowbytes] : {std::pair{PF_NewWorldFlag_NONE, 8}, std::pair{PF_NewWorldFlag_DEEP_PIXELS, 16}}) {
    PF_EffectWorld world{};
    ASSERT_EQ(worlds->new_world(in->effect_ref, 2, 2, flags, &world), PF_Err_NONE);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(world.data)[0], 0xCD);
    EXPECT_EQ(world.world_flags & PF_WorldFlag_DEEP, flags == PF_NewWorldFlag_NONE ? 0 : PF_WorldFlag_DEEP);
    EXPECT_EQ(world.rowbytes, rowbytes);
    EXPECT_EQ(worlds->dispose_world(in->effect_ref, &world), PF_Err_NONE);
  }
  basic->ReleaseSuite(kPFWorldSuite, 1);
}

// The World Transform Suite's copy and the utility callbacks' copy: whole worlds of their own
// strides, rectangles, and nothing that would scale or leave a world.
TEST_F(WorldSuiteTest, CopiesWholeWorldsAndRectanglesOnly) {
  const auto* transform = acquire<PF_WorldTransformSuite1>(kPFWorldTransformSuite, 1);
  OwnedWorld source(PixelDepth::Float, 4, 4, 4), whole(PixelDepth::Float, 4, 4, 12, 0), part(PixelDepth::Float, 4, 4, 12, 0);
  paint(source);
  const auto copy = [&](OwnedWorld& to, PF_Rect* fromRect, PF_Rect* toRect) {
    return transform->copy(in->effect_ref, source.world(), to.world(), fromRect, toRect);
  };
  ASSERT_EQ(copy(whole, nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(whole.packedPixels(), source.packedPixels());
  EXPECT_TRUE(whole.paddingUntouched());
  OwnedWorld other(PixelDepth::Float, 4, 4, 0, 0);
  ASSERT_EQ(utils->copy(in->effect_ref, source.world(), other.world(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(other.packedPixels(), source.packedPixels());
  EXPECT_TRUE(host->records().copies[1].wholeSource && host->records().copies[1].wholeDestination);

  PF_Rect from{1, 2, 3, 4}, to{0, 0, 2, 2};
  ASSERT_EQ(copy(part, &from, &to), PF_Err_NONE);
  for (A_long y = 0; y < 4; ++y) {
    for (A_long x = 0; x < 4; ++x) {
      float expected = 0.0f, actual = -1.0f;
      if (x < 2 && y < 2) std::memcpy(&expected, source.row(y + 2) + (x + 1) * 16, 4);
      std::memcpy(&actual, part.row(y) + x * 16, 4);
      EXPECT_EQ(actual, expected) << x << "," << y;
    }
  }
  const fxhost::CopyRecord& record = host->records().copies.back();
  EXPECT_FALSE(record.wholeSource);
  EXPECT_EQ(record.sourceRect, from);
  EXPECT_EQ(record.destinationRect, to);

  PF_Rect small{0, 0, 2, 2}, big{0, 0, 3, 3}, outside{2, 2, 5, 5}, inverted{2, 2, 1, 1};
  OwnedWorld wider(PixelDepth::Float, 5, 4), eight(PixelDepth::Eight, 4, 4);
  EXPECT_EQ(copy(whole, &small, &big), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(whole, &outside, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(whole, &inverted, &inverted), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(wider, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(eight, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().copies.size(), 8u);
  basic->ReleaseSuite(kPFWorldTransformSuite, 1);
}

}  // namespace
