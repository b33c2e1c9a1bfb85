// The blend at each depth and the descending weight ramps.
#include <vector>

#include <gtest/gtest.h>

#include "blend.h"
#include "depth_traits.h"
#include "weight_ramp.h"

namespace tessaline {
namespace {

TEST(Blend, WeightZeroLeavesVisiblePixelsAndFullWeightCopiesOpaqueSources) {
  for (const Pixel8 src : {Pixel8{255, 9, 8, 7}, Pixel8{0, 9, 8, 7}, Pixel8{30, 9, 8, 7}}) {
    Pixel8 out{200, 100, 150, 250};
    BlendPixel8(out, src, 0);
    EXPECT_TRUE(SameBits(out, Pixel8{200, 100, 150, 250}));
  }
  Pixel8 out{255, 100, 150, 250};
  BlendPixel8(out, {255, 9, 8, 7}, 65535);
  EXPECT_TRUE(SameBits(out, Pixel8{255, 9, 8, 7}));
  Pixel16 out16{32768, 100, 32768, 0};
  BlendPixel16(out16, {32768, 32768, 0, 12345}, 65535);
  EXPECT_TRUE(SameBits(out16, Pixel16{32768, 32768, 0, 12345}));
}

TEST(Blend, EqualZeroAlphasStillMixColours) {
  Pixel8 out{0, 0, 100, 255};
  BlendPixel8(out, {0, 255, 100, 0}, 32767);
  EXPECT_TRUE(SameBits(out, Pixel8{0, 127, 100, 128}));
}

TEST(Blend, TransparentSourceOnlyThinsTheOutput) {
  Pixel8 out{255, 10, 20, 30};
  BlendPixel8(out, {0, 255, 255, 255}, 32767);
  EXPECT_TRUE(SameBits(out, Pixel8{128, 10, 20, 30}));
  PixelF outF{1.0f, 0.1f, 0.2f, 0.3f};
  BlendPixelFloat(outF, {0.0f, 1.0f, 1.0f, 1.0f}, 0.5f);
  EXPECT_TRUE(SameBits(outF, PixelF{0.5f, 0.1f, 0.2f, 0.3f}));
}

TEST(Blend, TransparentOutputTakesTheSourceColour) {
  Pixel8 out{0, 10, 20, 30};
  BlendPixel8(out, {255, 200, 100, 50}, 32767);
  EXPECT_TRUE(SameBits(out, Pixel8{127, 200, 100, 50}));
  // Weight 0 keeps alpha 0 but still takes the colour.
  Pixel8 zero{0, 10, 20, 30};
  BlendPixel8(zero, {255, 200, 100, 50}, 0);
  EXPECT_TRUE(SameBits(zero, Pixel8{0, 200, 100, 50}));
  // Float has no case of its own: k = 1 gives the same.
  PixelF outF{0.0f, 0.1f, 0.2f, 0.3f};
  BlendPixelFloat(outF, {1.0f, 0.8f, 0.4f, 0.2f}, 0.5f);
  EXPECT_TRUE(SameBits(outF, PixelF{0.5f, 0.8f, 0.4f, 0.2f}));
}

TEST(Blend, DifferentVisibleAlphasMixByAlphaShare) {
  Pixel8 out{255, 0, 0, 0};
  BlendPixel8(out, {51, 255, 0, 0}, 32768);
  EXPECT_EQ(out.red, 43);
  EXPECT_EQ(out.alpha, 153);
  // 16-bit, same shares: aOut = 32767 * 32768, aSrc = 6554 * 32768, k = 10923.
  Pixel16 out16{32768, 0, 0, 0};
  BlendPixel16(out16, {6554, 32768, 0, 0}, 32768);
  EXPECT_EQ(out16.red, 5462);
  EXPECT_EQ(out16.alpha, 19661);
  // Float: k = 1 / (0.5 / 0.1 + 1) = 1/6.
  PixelF outF{1.0f, 0.0f, 0.0f, 0.0f};
  BlendPixelFloat(outF, {0.2f, 1.0f, 0.0f, 0.0f}, 0.5f);
  EXPECT_NEAR(outF.red, 1.0f / 6.0f, 1e-6f);
  EXPECT_NEAR(outF.alpha, 0.6f, 1e-6f);
}

TEST(Blend, SixteenBitFullScaleNeverOverflows) {
  for (std::uint32_t w : {0u, 1u, 32767u, 32768u, 65534u, 65535u}) {
    Pixel16 out{32768, 32768, 32768, 32768};
    BlendPixel16(out, {32768, 32768, 32768, 32768}, w);
    EXPECT_TRUE(SameBits(out, Pixel16{32768, 32768, 32768, 32768})) << w;
  }
}

// Weights of a ramp blended from a source of 255 onto an opaque 0, as 8-bit results.
std::vector<int> Blended(WeightRamp<std::uint32_t> ramp) {
  std::vector<int> values;
  while (!ramp.done && values.size() < 100) {
    Pixel8 out{255, 0, 0, 0};
    BlendPixel8(out, {255, 255, 0, 0}, ramp.Next());
    values.push_back(out.red);
  }
  return values;
}

std::vector<std::uint32_t> Weights(WeightRamp<std::uint32_t> ramp) {
  std::vector<std::uint32_t> weights;
  while (!ramp.done && weights.size() < 100) weights.push_back(ramp.Next());
  return weights;
}

TEST(Ramp, StaircaseTreadOfFour) {
  // Softness 100, runs of 3: step 8191.
  EXPECT_EQ(Depth8::RunRamp(100, 3, 0).step, 8191);
  EXPECT_EQ(Blended(Depth8::RunRamp(100, 3, 0)), (std::vector<int>{112, 80, 48, 16, 0}));
  EXPECT_EQ(Blended(Depth8::RunRamp(100, 3, 50)), (std::vector<int>{98, 55, 27, 8, 0}));
}

TEST(Ramp, PlateauOfFour) {
  // Se = 71 at softness 100, Se = 50 at softness 70.
  EXPECT_EQ(Blended(Depth8::RunRamp(71, 3, 0)), (std::vector<int>{105, 60, 16}));
  EXPECT_EQ(Blended(Depth8::RunRamp(71, 3, 50)), (std::vector<int>{88, 37, 8}));
  const auto ramp = Depth8::RunRamp(50, 3, 0);
  EXPECT_EQ(ramp.step, 16383);
  EXPECT_EQ(Weights(ramp), (std::vector<std::uint32_t>{24576, 8193, 0}));
}

TEST(Ramp, LineEnds) {
  // A line of 4 pixels at softness 70: line-end run 3, from the tip inwards.
  EXPECT_EQ(Blended(Depth8::LineEndRamp(70, 3, 0)), (std::vector<int>{209, 118, 29}));
  // Softness 49, a two-pixel line: the step exceeds 65535 and the one weight is 65535^2 / (2 step).
  const auto ramp = Depth8::LineEndRamp(49, 1, 0);
  EXPECT_EQ(ramp.step, 66870);
  EXPECT_EQ(Weights(ramp), (std::vector<std::uint32_t>{32113}));
  EXPECT_EQ(Blended(ramp), (std::vector<int>{125}));
}

TEST(Ramp, ARunSoftnessOfZeroOrBelowActsAsOne) {
  EXPECT_EQ(Weights(Depth8::RunRamp(0, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  EXPECT_EQ(Weights(Depth8::RunRamp(-40, 5, 0)), Weights(Depth8::RunRamp(1, 5, 0)));
  // For runs up to 99 the single weight is both first and last.
  EXPECT_EQ(Weights(Depth8::RunRamp(1, 99, 0)).size(), 1u);
}

TEST(Ramp, DiagonalRampsOfFiveCells) {
  const auto third = Depth8::DiagonalRamp(Depth8::kThird, 100, 5, 0);
  EXPECT_EQ(third.step, 5461);
  EXPECT_EQ(Weights(third), (std::vector<std::uint32_t>{19114, 13653, 8192, 2730}));
  // Ramp 2 drawn as often as ramp 1 lasts.
  auto half = Depth8::DiagonalRamp(Depth8::kHalf, 100, 5, 0);
  std::vector<int> restored;
  for (int i = 0; i < 4; ++i) {
    Pixel8 out{255, 0, 0, 0};
    BlendPixel8(out, {255, 255, 0, 0}, half.Next());
    restored.push_back(out.red);
  }
  EXPECT_EQ(restored, (std::vector<int>{117, 96, 74, 53}));
  EXPECT_FALSE(half.done);
}

TEST(Ramp, FloatRampsFallTheSameWayWithoutTruncation) {
  auto ramp = DepthF::RunRamp(100, 3, 0);
  EXPECT_EQ(ramp.step, 0.125f);
  std::vector<float> weights;
  while (!ramp.done) weights.push_back(ramp.Next());
  EXPECT_EQ(weights, (std::vector<float>{0.4375f, 0.3125f, 0.1875f, 0.0625f}));
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
