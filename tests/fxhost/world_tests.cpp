// Worlds: the host's own frames, the worlds a plug-in asks for, pixel formats and copies.

#include <tuple>

#include "test_support.h"

namespace {

using fxhost::OwnedWorld;
using fxhost::PixelDepth;

TEST(OwnedWorld, CarriesDepthFlagStrideAndGeometry) {
  const std::tuple<PixelDepth, A_long, A_long, A_long> depths[] = {  // padding, flags, rowbytes
      {PixelDepth::Eight, 3, 0, 15}, {PixelDepth::Sixteen, 6, PF_WorldFlag_DEEP, 30}, {PixelDepth::Float, 8, 0, 56}};
  for (const auto& [depth, padding, flags, rowbytes] : depths) {
    const OwnedWorld owned(depth, 3, 2, padding);
    const PF_EffectWorld& world = *owned.world();
    EXPECT_EQ(std::tuple(world.world_flags, world.rowbytes, world.width, world.height),
              std::tuple(flags, rowbytes, 3, 2));
    EXPECT_EQ(std::tuple(world.extent_hint.right, world.extent_hint.bottom, world.pix_aspect_ratio.num,
                         world.pix_aspect_ratio.den),
              std::tuple(3, 2, 1, 1u));
  }
  EXPECT_THROW(OwnedWorld(PixelDepth::Float, 2, 2, 2), fxhost::HostError);  // padding that splits a channel
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

// The pixel address is the world's name, so every world has one of its own, even an empty one.
TEST(OwnedWorld, IsFoundByItsPixelAddressWhileItLives) {
  const void* data = nullptr;
  {
    const OwnedWorld a(PixelDepth::Eight, 0, 0), b(PixelDepth::Eight, 0, 0);
    data = a.world()->data;
    EXPECT_NE(data, nullptr);
    EXPECT_NE(data, b.world()->data);
    EXPECT_EQ(fxhost::findWorld(data), &a);
  }
  EXPECT_EQ(fxhost::findWorld(data), nullptr);
}

using WorldSuiteTest = fxhost_test::HostTest;

// Every format through World Suite 2, cleared, with the configured row padding; a copy of the
// record is the same world to the host.
TEST_F(WorldSuiteTest, NewWorldsComeInEveryFormatAndReportIt) {
  host->options().newWorldRowPadding = 8;
  const auto* worlds = acquire<PF_WorldSuite2>(kPFWorldSuite, 2);
  for (const auto& [format, pixelBytes] : {std::pair{PF_PixelFormat_ARGB32, 4}, std::pair{PF_PixelFormat_ARGB64, 8},
                                           std::pair{PF_PixelFormat_ARGB128, 16}}) {
    PF_EffectWorld world{};
    ASSERT_EQ(worlds->PF_NewWorld(in->effect_ref, 3, 2, true, format, &world), PF_Err_NONE);
    EXPECT_EQ(world.rowbytes, 3 * pixelBytes + 8);
    EXPECT_EQ(world.world_flags, (format == PF_PixelFormat_ARGB64 ? PF_WorldFlag_DEEP : 0) | PF_WorldFlag_WRITEABLE);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(world.data);
    EXPECT_EQ(std::tuple(bytes[0], bytes[world.rowbytes + 3 * pixelBytes - 1]), std::tuple(0, 0));
    const PF_EffectWorld copy = world;
    PF_PixelFormat reported = 0;
    EXPECT_EQ(worlds->PF_GetPixelFormat(&copy, &reported), PF_Err_NONE);
    EXPECT_EQ(reported, format);
    EXPECT_EQ(worlds->PF_DisposeWorld(in->effect_ref, &world), PF_Err_NONE);
  }
  PF_EffectWorld world{};
  EXPECT_EQ(worlds->PF_NewWorld(in->effect_ref, 3, 2, true, PF_PixelFormat_BGRA32, &world),
            PF_Err_UNRECOGNIZED_PARAM_TYPE);
  basic->ReleaseSuite(kPFWorldSuite, 2);
  // World Suite 1 and the callback clear only when asked, and make deep worlds when asked.
  const auto* worlds1 = acquire<PF_WorldSuite1>(kPFWorldSuite, 1);
  for (const auto& [flags, first, rowbytes] :
       {std::tuple{PF_NewWorldFlag_NONE, 0xCD, 16},
        std::tuple{PF_NewWorldFlag_DEEP_PIXELS | PF_NewWorldFlag_CLEAR_PIXELS, 0, 24}}) {
    for (const auto make : {worlds1->new_world, utils->new_world}) {
      ASSERT_EQ(make(in->effect_ref, 2, 2, flags, &world), PF_Err_NONE);
      EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(world.data)[0], first);
      EXPECT_EQ(world.rowbytes, rowbytes);
      EXPECT_EQ(worlds1->dispose_world(in->effect_ref, &world), PF_Err_NONE);
    }
  }
  basic->ReleaseSuite(kPFWorldSuite, 1);
}

// The World Transform Suite's copy and the callback's: whole worlds of their own strides, or
// rectangles of the same size inside both worlds, and nothing that would scale or change depth.
TEST_F(WorldSuiteTest, CopiesWholeWorldsAndRectanglesOnly) {
  const auto* transform = acquire<PF_WorldTransformSuite1>(kPFWorldTransformSuite, 1);
  OwnedWorld source(PixelDepth::Float, 4, 4, 4), whole(PixelDepth::Float, 4, 4, 12, 0),
      part(PixelDepth::Float, 4, 4, 12, 0);
  fxhost_test::paint(source);
  const auto copy = [&](OwnedWorld& to, PF_Rect* fromRect, PF_Rect* toRect) {
    return transform->copy(in->effect_ref, source.world(), to.world(), fromRect, toRect);
  };
  ASSERT_EQ(utils->copy(in->effect_ref, source.world(), whole.world(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(whole.packedPixels(), source.packedPixels());
  EXPECT_TRUE(whole.paddingUntouched());
  PF_Rect from{1, 2, 3, 4}, to{0, 0, 2, 2};
  ASSERT_EQ(copy(part, &from, &to), PF_Err_NONE);
  // Two pixels of rows 2 and 3 from column 1, into the corner; the rest stays clear.
  for (A_long y = 0; y < 4; ++y) {
    std::vector<std::uint8_t> expected(64, 0);
    if (y < 2) std::memcpy(expected.data(), source.row(y + 2) + 16, 32);
    EXPECT_EQ(std::vector<std::uint8_t>(part.row(y), part.row(y) + 64), expected) << y;
  }
  const fxhost::CopyRecord& record = host->records().copies.back();
  EXPECT_EQ(std::tuple(record.wholeSource, record.sourceRect.left, record.destinationRect.right),
            std::tuple(false, 1, 2));

  PF_Rect small{0, 0, 2, 2}, big{0, 0, 3, 3}, outside{2, 2, 5, 5}, inverted{2, 2, 1, 1};
  OwnedWorld wider(PixelDepth::Float, 5, 4), eight(PixelDepth::Eight, 4, 4);
  EXPECT_EQ(copy(whole, &small, &big), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(whole, &outside, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(whole, &inverted, &inverted), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(copy(wider, nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(transform->copy(in->effect_ref, eight.world(), whole.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host->records().copies.size(), 7u);
  basic->ReleaseSuite(kPFWorldTransformSuite, 1);
}

}  // namespace
