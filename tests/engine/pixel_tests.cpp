// The difference test, the conversion of the parameters and the key threshold, at every depth.
#include <limits>

#include <gtest/gtest.h>

#include "color_key.h"
#include "depth_traits.h"
#include "pixel_difference.h"
#include "test_image.h"

namespace tessaline {
namespace {

// The difference test of one depth, tried both ways round: it must be symmetric.
template <class P, class T>
auto BothWays(bool (*differ)(const P&, const P&, T)) {
  return [differ](const P& p, const P& q, T t) {
    EXPECT_EQ(differ(q, p, t), differ(p, q, t)) << "reversed";
    return differ(p, q, t);
  };
}

TEST(PixelsDiffer, IntegerDepths) {
  test::CheckCalls<Pixel8, std::int32_t, bool>(BothWays(PixelsDiffer8), {
      // Transparent is (0, 0, 0, 0) whatever colour it stores, even below threshold 0.
      {{0, 200, 10, 90}, {0, 1, 2, 3}, -1, false},
      {{0, 90, 90, 90}, {255, 0, 0, 0}, 254, true},  // opaque black is 255 away from it
      {{0, 90, 90, 90}, {255, 0, 0, 0}, 255, false},
      {{255, 10, 10, 10}, {255, 13, 13, 14}, 10, false},  // a distance equal to the threshold
      {{255, 10, 10, 10}, {255, 13, 13, 14}, 9, true},
      {{255, 0, 0, 0}, {245, 0, 0, 0}, 9, true},  // alpha counts like a colour channel
      {{255, 0, 0, 0}, {245, 0, 0, 0}, 10, false},
      {{255, 1, 2, 3}, {255, 1, 2, 3}, 0, false},
      {{255, 1, 2, 3}, {255, 1, 2, 4}, 0, true},
  });
  test::CheckCalls<Pixel16, std::int32_t, bool>(BothWays(PixelsDiffer16), {
      {{0, 30000, 7, 9}, {0, 0, 0, 0}, 0, false},
      {{0, 90, 90, 90}, {32768, 0, 0, 0}, Depth16::Convert(254), true},
      {{0, 90, 90, 90}, {32768, 0, 0, 0}, Depth16::Convert(255), false},
      {{32768, 1000, 1000, 1000}, {32768, 1300, 1300, 1400}, 1000, false},
      {{32768, 1000, 1000, 1000}, {32768, 1300, 1300, 1400}, 999, true},
      {{32768, 5, 5, 5}, {31000, 5, 5, 5}, 1767, true},
      {{40000, 65535, 2, 3}, {40000, 65535, 2, 3}, 0, false},
  });
}

TEST(PixelsDiffer, FloatIncludingSpecialValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  test::CheckCalls<PixelF, float, bool>(BothWays(PixelsDifferF), {
      {{0, 1, 0.5f, 0.25f}, {-0.0f, 0, 1, 0}, 0, false},
      {{0, 0.3f, 0.3f, 0.3f}, {1, 0, 0, 0}, DepthF::Convert(254), true},
      {{0, 0.3f, 0.3f, 0.3f}, {1, 0, 0, 0}, DepthF::Convert(255), false},
      {{1, 0.5f, 0.5f, 0.5f}, {1, 0.75f, 0.5f, 0.5f}, 0.25f, false},  // distance 0.25, exact
      {{1, 0.5f, 0.5f, 0.5f}, {1, 0.75f, 0.5f, 0.5f}, 0.2499f, true},
      {{1, 0, 0, 0}, {0.5f, 0, 0, 0}, 0.4f, true},
      // -0.0 alpha is transparent; NaN alpha is not, and a NaN distance is never "greater".
      {{-0.0f, 1, 1, 1}, {0, 0, 0, 0}, 0, false},
      {{nan, 1, 1, 1}, {0, 0, 0, 0}, 0, false},
      {{nan, 1, 1, 1}, {1, 0, 0, 0}, 0, false},
      // The same NaN bits are identical; an infinite channel is infinitely far.
      {{1, nan, 0, 0}, {1, nan, 0, 0}, -1, false},
      {{1, inf, 0, 0}, {1, 0, 0, 0}, 1000, true},
      // Against a transparent pixel the sum is ((green + red) + blue) + alpha: -inf + inf is NaN, no
      // difference, and 1e30 - 1e30 cancels before the small channels are added.
      {{0, 0, 0, 0}, {1, -inf, inf, 0}, 0, false},
      {{0, 0, 0, 0}, {1, -1e30f, 1e30f, 1}, 1.5f, true},
  });
}

TEST(ParameterConversion, ThresholdsKeyCornerWeightSoftnessScaleAndBiasThird) {
  EXPECT_EQ(Depth8::Convert(10), 10);
  EXPECT_EQ(Depth16::Convert(10), 1285);
  EXPECT_EQ(Depth16::Convert(255), 32768);
  EXPECT_EQ(Depth16::Convert(1020), 131072);
  EXPECT_EQ(DepthF::Convert(255), 1.0f);
  EXPECT_EQ(DepthF::Convert(10), 10.0f / 255.0f);
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
  p.keyColor[0] = 7;  // alpha of the key colour is not used
  p.keyColor[1] = 255;
  p.keyColor[2] = 128;
  p.keyColor[3] = 1;
  p.keyColorThreshold = 30;
  p.bias = 50;
  const DerivedValues<Depth16> v16(p);
  EXPECT_EQ(v16.key.red, 32768);
  EXPECT_EQ(v16.key.green, 16448);
  EXPECT_EQ(v16.key.blue, 128);
  EXPECT_EQ(v16.key.threshold, 3855);
  EXPECT_EQ(v16.biasThird, 16);
}

// Which colours the key matches at every depth is checked with the keyed copy, in render_tests.
TEST(KeyMatches, ThresholdIsInclusiveAlphaIsIgnoredAndOnlyBelowZeroFailsAtFloat) {
  const KeyValues<std::int32_t> red{255, 0, 0, 30};
  EXPECT_TRUE(KeyMatches(Pixel8{255, 245, 10, 10}, red));
  EXPECT_FALSE(KeyMatches(Pixel8{255, 244, 10, 10}, red));
  EXPECT_TRUE(KeyMatches(Pixel8{0, 255, 0, 0}, {255, 0, 0, 0}));     // transparent key colour
  EXPECT_FALSE(KeyMatches(Pixel8{255, 0, 255, 0}, {255, 0, 0, 0}));  // opaque other colour
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(KeyMatches(PixelF{1, nan, 0, 0}, KeyValues<float>{1, 0, 0, 0}));  // a NaN result is not below 0
}

}  // namespace
}  // namespace tessaline
