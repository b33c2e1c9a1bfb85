// The difference test, the colour key and the keyed copy, at every depth.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "color_key.h"
#include "depth_traits.h"
#include "pixel_difference.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

TEST(PixelsDiffer, TransparentPixelsNeverDifferWhateverColourTheyStore) {
  EXPECT_FALSE(PixelsDiffer8({0, 200, 10, 90}, {0, 1, 2, 3}, 0));
  EXPECT_FALSE(PixelsDiffer8({0, 200, 10, 90}, {0, 0, 0, 0}, 0));
  EXPECT_FALSE(PixelsDiffer16({0, 30000, 7, 9}, {0, 0, 0, 0}, 0));
  EXPECT_FALSE(PixelsDifferF({0.0f, 1.0f, 0.5f, 0.25f}, {-0.0f, 0.0f, 1.0f, 0.0f}, 0.0f));
}

TEST(PixelsDiffer, TransparentAgainstOpaqueBlackCountsAllFourChannelsOfTheOther) {
  // A transparent pixel is (0, 0, 0, 0); opaque black is 255 away in alpha alone.
  const Pixel8 clear{0, 90, 90, 90}, black{255, 0, 0, 0};
  EXPECT_TRUE(PixelsDiffer8(clear, black, 254));
  EXPECT_FALSE(PixelsDiffer8(clear, black, 255));
  EXPECT_TRUE(PixelsDiffer8(black, clear, 254));

  const Pixel16 clear16{0, 90, 90, 90}, black16{32768, 0, 0, 0};
  EXPECT_TRUE(PixelsDiffer16(clear16, black16, Depth16::Convert(254)));
  EXPECT_FALSE(PixelsDiffer16(clear16, black16, Depth16::Convert(255)));

  const PixelF clearF{0.0f, 0.3f, 0.3f, 0.3f}, blackF{1.0f, 0.0f, 0.0f, 0.0f};
  EXPECT_TRUE(PixelsDifferF(clearF, blackF, DepthF::Convert(254)));
  EXPECT_FALSE(PixelsDifferF(clearF, blackF, DepthF::Convert(255)));
  EXPECT_FALSE(PixelsDifferF(blackF, clearF, DepthF::Convert(255)));
}

TEST(PixelsDiffer, ADistanceEqualToTheThresholdIsNoDifference) {
  const Pixel8 p{255, 10, 10, 10}, q{255, 13, 13, 14};  // distance 10
  EXPECT_FALSE(PixelsDiffer8(p, q, 10));
  EXPECT_TRUE(PixelsDiffer8(p, q, 9));
  const Pixel16 p16{32768, 1000, 1000, 1000}, q16{32768, 1300, 1300, 1400};  // distance 1000
  EXPECT_FALSE(PixelsDiffer16(p16, q16, 1000));
  EXPECT_TRUE(PixelsDiffer16(p16, q16, 999));
  const PixelF pf{1.0f, 0.5f, 0.5f, 0.5f}, qf{1.0f, 0.75f, 0.5f, 0.5f};  // distance 0.25, exact
  EXPECT_FALSE(PixelsDifferF(pf, qf, 0.25f));
  EXPECT_TRUE(PixelsDifferF(pf, qf, 0.2499f));
}

TEST(PixelsDiffer, AlphaAloneCountsLikeAColourChannel) {
  EXPECT_TRUE(PixelsDiffer8({255, 0, 0, 0}, {245, 0, 0, 0}, 9));
  EXPECT_FALSE(PixelsDiffer8({255, 0, 0, 0}, {245, 0, 0, 0}, 10));
  EXPECT_TRUE(PixelsDiffer16({32768, 5, 5, 5}, {31000, 5, 5, 5}, 1767));
  EXPECT_TRUE(PixelsDifferF({1.0f, 0, 0, 0}, {0.5f, 0, 0, 0}, 0.4f));
}

TEST(PixelsDiffer, IdenticalPixelsNeverDifferEvenAtThresholdZero) {
  EXPECT_FALSE(PixelsDiffer8({255, 1, 2, 3}, {255, 1, 2, 3}, 0));
  EXPECT_TRUE(PixelsDiffer8({255, 1, 2, 3}, {255, 1, 2, 4}, 0));
  EXPECT_FALSE(PixelsDiffer16({40000, 65535, 2, 3}, {40000, 65535, 2, 3}, 0));
}

TEST(PixelsDiffer, FloatSpecialValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // -0.0 alpha is transparent; NaN alpha is not, and a NaN distance is never "greater".
  EXPECT_FALSE(PixelsDifferF({-0.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f));
  EXPECT_FALSE(PixelsDifferF({nan, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f));
  EXPECT_FALSE(PixelsDifferF({nan, 1.0f, 1.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 0.0f}, 0.0f));
  // The same NaN bits are identical; an infinite channel is infinitely far.
  EXPECT_FALSE(PixelsDifferF({1.0f, nan, 0, 0}, {1.0f, nan, 0, 0}, -1.0f));
  EXPECT_TRUE(PixelsDifferF({1.0f, inf, 0, 0}, {1.0f, 0, 0, 0}, 1000.0f));
  // Step 2 sums green first: inf + -inf is NaN, which is no difference.
  EXPECT_FALSE(PixelsDifferF({0.0f, 0, 0, 0}, {1.0f, -inf, inf, 0}, 0.0f));
}

TEST(ParameterConversion, ThresholdsAndKeyColourAtEachDepth) {
  EXPECT_EQ(Depth16::Convert(10), 1285);
  EXPECT_EQ(Depth16::Convert(255), 32768);
  EXPECT_EQ(Depth16::Convert(1020), 131072);
  EXPECT_EQ(Depth8::Convert(10), 10);
  EXPECT_EQ(DepthF::Convert(255), 1.0f);
  EXPECT_EQ(DepthF::Convert(10), 10.0f / 255.0f);

  Params p;
  p.keyColor[0] = 7;  // alpha of the key colour is not used
  p.keyColor[1] = 255;
  p.keyColor[2] = 128;
  p.keyColor[3] = 1;
  p.keyColorThreshold = 30;
  const DerivedValues<Depth16> v16(p);
  EXPECT_EQ(v16.key.red, 32768);
  EXPECT_EQ(v16.key.green, 16448);
  EXPECT_EQ(v16.key.blue, 128);
  EXPECT_EQ(v16.key.threshold, 3855);
}

TEST(ParameterConversion, CornerWeightSoftnessScaleAndBiasThird) {
  EXPECT_EQ(Depth8::CornerWeight(70), 6553u);
  EXPECT_EQ(Depth8::CornerWeight(100), 6553u);
  EXPECT_EQ(Depth8::CornerWeight(35), 3276u);  // half of 6553, truncated
  EXPECT_EQ(Depth8::CornerWeight(1), 93u);     // (1 - 69/70) * 6553 = 93.6
  EXPECT_FLOAT_EQ(DepthF::CornerWeight(70), 0.1f);
  EXPECT_FLOAT_EQ(DepthF::CornerWeight(35), 0.05f);
  EXPECT_EQ(Depth8::SoftnessScale(100), 16383u);
  EXPECT_EQ(Depth8::SoftnessScale(1), 163u);
  EXPECT_EQ(DepthF::SoftnessScale(100), 0.25f);
  Params p;
  p.bias = 50;
  EXPECT_EQ(DerivedValues<Depth8>(p).biasThird, 16);
}

KeyValues<std::int32_t> RedKey8(int threshold) { return {255, 0, 0, threshold}; }

TEST(KeyMatches, PureRedMatchesARedKeyAndBlueDoesNotAtEveryDepth) {
  EXPECT_TRUE(KeyMatches(Pixel8{255, 255, 0, 0}, RedKey8(0)));
  EXPECT_FALSE(KeyMatches(Pixel8{255, 0, 0, 255}, RedKey8(0)));
  const KeyValues<std::int32_t> red16{32768, 0, 0, 0};
  EXPECT_TRUE(KeyMatches(Pixel16{32768, 32768, 0, 0}, red16));
  EXPECT_FALSE(KeyMatches(Pixel16{32768, 0, 0, 32768}, red16));
  const KeyValues<float> redF{1.0f, 0.0f, 0.0f, 0.0f};
  EXPECT_TRUE(KeyMatches(PixelF{1.0f, 1.0f, 0.0f, 0.0f}, redF));
  EXPECT_FALSE(KeyMatches(PixelF{1.0f, 0.0f, 0.0f, 1.0f}, redF));
}

TEST(KeyMatches, ThresholdIsInclusiveAndAlphaIsIgnored) {
  EXPECT_TRUE(KeyMatches(Pixel8{255, 245, 10, 10}, RedKey8(30)));
  EXPECT_FALSE(KeyMatches(Pixel8{255, 244, 10, 10}, RedKey8(30)));
  EXPECT_TRUE(KeyMatches(Pixel8{0, 255, 0, 0}, RedKey8(0)));     // transparent key colour
  EXPECT_FALSE(KeyMatches(Pixel8{255, 0, 255, 0}, RedKey8(0)));  // opaque other colour
}

template <class P>
struct KeyCase {
  Depth depth;
  P red, blue, clearRed;
};

// Key mode removes the key colour (keeping its red, green and blue); inverted mode removes
// everything else; runs of identical pixels and a change back to a seen colour are both covered.
template <class P>
void CheckKeyedCopy(const KeyCase<P>& c) {
  Image<P> in = test::Draw<P>({"RRBBRc", "cBRRBB"}, "RBc", {c.red, c.blue, c.clearRed});
  Params params;
  params.keyColor[1] = 255;
  for (SourceMode mode : {SourceMode::Key, SourceMode::KeyInvert}) {
    Image<P> out(in.width(), in.height(), P{}, 0);
    CopyStage(c.depth, mode, in.view(), out.mutableView(), params);
    for (int y = 0; y < in.height(); ++y)
      for (int x = 0; x < in.width(); ++x) {
        P expected = in.at(x, y);
        const bool isRed = expected.red == c.red.red && expected.blue == c.red.blue;
        if (isRed == (mode == SourceMode::Key)) expected.alpha = 0;
        EXPECT_TRUE(SameBits(out.at(x, y), expected)) << "mode " << int(mode) << " at " << x << "," << y;
      }
  }
}

TEST(KeyedCopy, KeyAndInvertedKeyAtEveryDepth) {
  CheckKeyedCopy<Pixel8>({Depth::U8, {255, 255, 0, 0}, {255, 0, 0, 255}, {0, 255, 0, 0}});
  CheckKeyedCopy<Pixel16>({Depth::U16, {32768, 32768, 0, 0}, {32768, 0, 0, 32768}, {0, 32768, 0, 0}});
  CheckKeyedCopy<PixelF>({Depth::F32, {1, 1, 0, 0}, {1, 0, 0, 1}, {0, 1, 0, 0}});
}

}  // namespace
}  // namespace tessaline
