// The blend at each depth and the descending weight ramps. The ramps of the spreads and diagonals are
// pinned where those are tested (step_analysis_tests); these are the rest.
#include <vector>

#include <gtest/gtest.h>

#include "blend.h"
#include "depth_traits.h"
#include "test_image.h"
#include "weight_ramp.h"

namespace tessaline {
namespace {

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

// A ramp's weights as 8-bit results of blending red 255 onto opaque black.
std::vector<int> Blended(WeightRamp<std::uint32_t> ramp) {
  std::vector<int> values;
  for (std::uint32_t w : Weights(ramp)) {
    Pixel8 out{255, 0, 0, 0};
    BlendPixel8(out, {255, 255, 0, 0}, w);
    values.push_back(out.red);
  }
  return values;
}

TEST(Ramp, StepsAndWeights) {
  EXPECT_EQ(Depth8::RunRamp(100, 3, 0).step, 8191);  // softness 100, runs of 3
  EXPECT_EQ(Depth8::RunRamp(50, 3, 0).step, 16383);
  EXPECT_EQ(Depth8::LineEndRamp(49, 1, 0).step, 66870);
  EXPECT_EQ(Depth8::DiagonalRamp(Depth8::kThird, 100, 5, 0).step, 5461);
  const std::pair<WeightRamp<std::uint32_t>, std::vector<int>> blended[] = {
      {Depth8::RunRamp(100, 3, 50), {98, 55, 27, 8, 0}},  // staircase tread of four, bias 50
      {Depth8::RunRamp(71, 3, 0), {105, 60, 16}},         // plateau of four: Se = 71 at softness 100
      {Depth8::RunRamp(71, 3, 50), {88, 37, 8}},
      {Depth8::LineEndRamp(49, 1, 0), {125}},
  };
  for (const auto& [ramp, want] : blended) EXPECT_EQ(Blended(ramp), want) << ramp.step << " " << ramp.bias;
  EXPECT_EQ(Weights(Depth8::RunRamp(50, 3, 0)), (std::vector<std::uint32_t>{24576, 8193, 0}));
  // 32767 * (50 t^3 + 50 t) / 100 at t = 28672 / 32767 is 25312.67, truncated.
  EXPECT_EQ(Weights(Depth8::RunRamp(100, 3, 50)), (std::vector<std::uint32_t>{25312, 14241, 7009, 2081, 0}));
  // Softness 49, a two-pixel line: the step exceeds 65535 and the one weight is 65535^2 / (2 step).
  EXPECT_EQ(Weights(Depth8::LineEndRamp(49, 1, 0)), (std::vector<std::uint32_t>{32113}));
  EXPECT_EQ(Weights(Depth8::DiagonalRamp(Depth8::kThird, 100, 5, 0)),
            (std::vector<std::uint32_t>{19114, 13653, 8192, 2730}));
  // The restoring ramp of a diagonal is drawn only as often as the blending one lasts: four times.
  const auto half = Blended(Depth8::DiagonalRamp(Depth8::kHalf, 100, 5, 0));
  ASSERT_GT(half.size(), 4u);
  EXPECT_EQ(std::vector<int>(half.begin(), half.begin() + 4), (std::vector<int>{117, 96, 74, 53}));
}

TEST(Ramp, ARunSoftnessOfZeroOrBelowActsAsOne) {
  EXPECT_EQ(Weights(Depth8::RunRamp(0, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  EXPECT_EQ(Weights(Depth8::RunRamp(-40, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  // For runs up to 99 the single weight is both first and last.
  EXPECT_EQ(Weights(Depth8::RunRamp(1, 99, 0)).size(), 1u);
}

TEST(Ramp, FloatLineEndStep) {
  auto line = DepthF::LineEndRamp(70, 3, 0);
  EXPECT_FLOAT_EQ(line.step, 100.0f / 280.0f);
  EXPECT_FLOAT_EQ(line.Next(), 1.0f - 50.0f / 280.0f);
}

TEST(Ramp, BiasLowersTheMiddleButKeepsTheEnds) {
  // t = 1 stays 1 and t = 0 stays 0 whatever the bias; in between the cubic is lower.
  for (int bias : {1, 50, 100}) {
    WeightRamp<std::uint32_t> full(65535, 1, bias);
    EXPECT_EQ(full.Next(), 65535u) << bias;  // 65535 - 1/2 truncates to 65535
    const auto plain = Weights(Depth8::RunRamp(100, 9, 0));
    const auto bent = Weights(Depth8::RunRamp(100, 9, bias));
    ASSERT_EQ(plain.size(), bent.size());
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_LE(bent[i], plain[i]) << bias << " " << i;
  }
}

}  // namespace
}  // namespace tessaline
