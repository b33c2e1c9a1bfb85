// The per-pixel rules at every depth: the difference test, the parameter conversions, the key, the
// blend and the descending weight ramps. (The softness scale is pinned with the isolated-pixel
// average, in step_analysis_tests.)
#include <limits>

#include <gtest/gtest.h>

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

TEST(ParameterConversion, ThresholdsKeyCornerWeightAndBiasThird) {
  EXPECT_EQ(Depth16::Convert(10), 1285);
  EXPECT_EQ(Depth16::Convert(255), 32768);
  EXPECT_EQ(Depth16::Convert(1020), 131072);
  EXPECT_EQ(DepthF::Convert(255), 1.0f);
  // At 70, 100 and 35 the corner weight is pinned where it is used (CornerWeight tests).
  EXPECT_EQ(Depth8::CornerWeight(1), 93u);  // (1 - 69/70) * 6553 = 93.6
  EXPECT_FLOAT_EQ(DepthF::CornerWeight(70), 0.1f);
  EXPECT_FLOAT_EQ(DepthF::CornerWeight(35), 0.05f);
  // Key alpha 7: it is not used.
  const DerivedValues<Depth16> v16(Params{.bias = 50, .keyColor = {7, 255, 128, 1}, .keyColorThreshold = 30});
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

// The blend of one depth as a call that returns the blended output pixel.
template <class P, class W>
auto Blended(void (*blend)(P&, const P&, W)) {
  return [blend](P out, const P& src, W weight) {
    blend(out, src, weight);
    return out;
  };
}

TEST(Blend, EveryAlphaCaseAtEveryDepth) {
  test::CheckCalls<Pixel8, std::uint32_t, Pixel8>(Blended(BlendPixel8), {
      // Weight 0 leaves a visible pixel as it is, whatever the source's alpha.
      {{200, 100, 150, 250}, {255, 9, 8, 7}, 0, {200, 100, 150, 250}},
      {{200, 100, 150, 250}, {0, 9, 8, 7}, 0, {200, 100, 150, 250}},
      {{200, 100, 150, 250}, {30, 9, 8, 7}, 0, {200, 100, 150, 250}},
      {{255, 100, 150, 250}, {255, 9, 8, 7}, 65535, {255, 9, 8, 7}},  // full weight copies
      {{0, 0, 100, 255}, {0, 255, 100, 0}, 32767, {0, 127, 100, 128}},  // equal zero alphas still mix
      {{255, 10, 20, 30}, {0, 255, 255, 255}, 32767, {128, 10, 20, 30}},  // a transparent source thins
      // A transparent output takes the source colour, even at weight 0.
      {{0, 10, 20, 30}, {255, 200, 100, 50}, 32767, {127, 200, 100, 50}},
      {{0, 10, 20, 30}, {255, 200, 100, 50}, 0, {0, 200, 100, 50}},
      {{0, 10, 20, 30}, {255, 200, 100, 50}, 32768, {128, 200, 100, 50}},  // 127.5 rounds up
      {{255, 0, 0, 0}, {51, 255, 0, 0}, 32768, {153, 43, 0, 0}},  // different alphas mix by share
  });
  test::CheckCalls<Pixel16, std::uint32_t, Pixel16>(Blended(BlendPixel16), {
      {{32768, 100, 32768, 0}, {32768, 32768, 0, 12345}, 65535, {32768, 32768, 0, 12345}},
      // aOut = 32767 * 32768, aSrc = 6554 * 32768, k = 10923.
      {{32768, 0, 0, 0}, {6554, 32768, 0, 0}, 32768, {19661, 5462, 0, 0}},
      {{32768, 32765, 0, 0}, {6554, 0, 0, 0}, 32768, {19661, 27304, 0, 0}},  // 32765 * (65535 - k) >> 16
  });
  // Float has no case for a transparent output: k = 1 gives the same.
  test::CheckCalls<PixelF, float, PixelF>(Blended(BlendPixelFloat), {
      {{1, 0.1f, 0.2f, 0.3f}, {0, 1, 1, 1}, 0.5f, {0.5f, 0.1f, 0.2f, 0.3f}},
      {{0, 0.1f, 0.2f, 0.3f}, {1, 0.8f, 0.4f, 0.2f}, 0.5f, {0.5f, 0.8f, 0.4f, 0.2f}},
      {{1, 0, 0, 0}, {0.2f, 1, 0, 0}, 0.5f, {0.6f, 1.0f / 6.0f, 0, 0}},  // k = 1 / (0.5 / 0.1 + 1)
  });
  // Full-scale 16-bit channels keep every product below 2^32.
  for (std::uint32_t w : {0u, 1u, 32767u, 32768u, 65534u, 65535u}) {
    Pixel16 out{32768, 32768, 32768, 32768};
    BlendPixel16(out, {32768, 32768, 32768, 32768}, w);
    EXPECT_TRUE(SameBits(out, Pixel16{32768, 32768, 32768, 32768})) << w;
  }
}

std::vector<std::uint32_t> Weights(WeightRamp<std::uint32_t> ramp) {
  std::vector<std::uint32_t> weights;
  while (!ramp.done && weights.size() < 100) weights.push_back(ramp.Next());
  return weights;
}

TEST(Ramp, WeightsOfEachKind) {
  const std::pair<WeightRamp<std::uint32_t>, std::vector<std::uint32_t>> ramps[] = {
      {Depth8::RunRamp(50, 3, 0), {24576, 8193, 0}},  // step 16383
      // 32767 * (50 t^3 + 50 t) / 100 at t = 28672 / 32767 is 25312.67, truncated.
      {Depth8::RunRamp(100, 3, 50), {25312, 14241, 7009, 2081, 0}},
      // Softness 49, a two-pixel line: the step exceeds 65535 and the one weight is 65535^2 / (2 step).
      {Depth8::LineEndRamp(49, 1, 0), {32113}},
      {Depth8::DiagonalRamp(Depth8::kThird, 100, 5, 0), {19114, 13653, 8192, 2730}},  // step 5461
      // The restoring ramp: 5462 is left before the last full step, 1 after it.
      {Depth8::DiagonalRamp(Depth8::kHalf, 100, 5, 0), {30037, 24576, 19115, 13654, 8193, 2732, 0}},
  };
  for (const auto& [ramp, want] : ramps) EXPECT_EQ(Weights(ramp), want) << ramp.step << " " << ramp.bias;
  // A run softness of zero or below acts as one; for runs up to 99 that one weight is first and last.
  EXPECT_EQ(Weights(Depth8::RunRamp(0, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  EXPECT_EQ(Weights(Depth8::RunRamp(-40, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  EXPECT_EQ(Weights(Depth8::RunRamp(1, 99, 0)).size(), 1u);
  auto line = DepthF::LineEndRamp(70, 3, 0);
  EXPECT_FLOAT_EQ(line.step, 100.0f / 280.0f);
  EXPECT_FLOAT_EQ(line.Next(), 1.0f - 50.0f / 280.0f);
}

TEST(Ramp, BiasLowersTheMiddleButKeepsTheEnds) {
  // t = 1 stays 1 and t = 0 stays 0 whatever the bias; in between the cubic is lower.
  const auto plain = Weights(Depth8::RunRamp(100, 9, 0));
  for (int bias : {1, 50, 100}) {
    EXPECT_EQ(WeightRamp<std::uint32_t>(65535, 1, bias).Next(), 65535u) << bias;  // 65535 - 1/2 truncates to 65535
    const auto bent = Weights(Depth8::RunRamp(100, 9, bias));
    ASSERT_EQ(plain.size(), bent.size());
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_LE(bent[i], plain[i]) << bias << " " << i;
  }
}

}  // namespace
}  // namespace tessaline
