// Tread softness, spreads, the diagonal sub-kernels and the isolated-pixel average, on drawn images.
#include <gtest/gtest.h>

#include "step_analysis.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

test::Map MapOf(const std::vector<std::string>& rows) {
  return test::BuildMap<Depth8>(
      test::Draw<Pixel8>(rows, ".#o", {test::Grey8(0), test::Grey8(255), test::Grey8(128)}), 10);
}

TEST(RunSoftness, RegularTreadsKeepTheSoftness) {
  const auto m = MapOf({"............", "........####", "....########", "############"});
  EXPECT_EQ(RunLeft(7, 1, m.view), 3);
  EXPECT_EQ(RunSoftness(SideLeft, 7, 1, 3, 100, 12, 4, m.view), 100);
  // The far end would lie outside the image.
  EXPECT_EQ(RunSoftness(SideLeft, 2, 1, 3, 100, 12, 4, m.view), 100);
}

TEST(RunSoftness, PlateauBetweenTwoStepsOfOneRow) {
  const auto m = MapOf({"..........", "...####...", "##########"});
  ASSERT_EQ(RunLeft(6, 1, m.view), 3);
  ASSERT_EQ(RunRight(2, 1, m.view), 3);
  EXPECT_EQ(RunSoftness(SideLeft, 6, 1, 3, 100, 10, 3, m.view), 71);
  EXPECT_EQ(RunSoftness(SideLeft, 6, 1, 3, 70, 10, 3, m.view), 50);
  EXPECT_EQ(RunSoftness(SideRight, 2, 1, 3, 70, 10, 3, m.view), 50);
}

TEST(RunSoftness, TwoPixelPlateaus) {
  // Part of a 2 x 2 dot: a tenth of the softness.
  const auto dot = MapOf({"........", "........", "...##...", "...##...", "........"});
  ASSERT_EQ(RunLeft(4, 2, dot.view), 1);
  EXPECT_EQ(RunSoftness(SideLeft, 4, 2, 1, 70, 8, 5, dot.view), 7);
  // A dot directly across the edge: 36 %.
  const auto beside = MapOf({"..........", "...oo.....", "...##.....", "...##.....", ".........."});
  ASSERT_EQ(RunLeft(4, 1, beside.view), 1);
  EXPECT_EQ(RunSoftness(SideLeft, 4, 1, 1, 70, 10, 5, beside.view), 25);
  // Otherwise S / 1.4.
  const auto plain = MapOf({"......", "..##..", "######"});
  ASSERT_EQ(RunLeft(3, 1, plain.view), 1);
  EXPECT_EQ(RunSoftness(SideLeft, 3, 1, 1, 70, 6, 3, plain.view), 50);
}

template <class D>
void CheckSpreadLeft(typename D::Pixel bg, typename D::Pixel src, const std::vector<typename D::Pixel>& expected) {
  using P = typename D::Pixel;
  Image<P> in(8, 1, bg);
  in.at(6, 0) = src;
  Image<P> out = in;
  const test::Map map = test::HandMap({"........"});
  Params params;
  params.softness = 100;
  const auto f = test::MakeFrame<D>(in, out, map, params);
  SpreadLeft(f, 5, 0, D::RunRamp(100, 3, 0));
  for (int x = 0; x <= 5; ++x) {
    const P want = 5 - x < static_cast<int>(expected.size()) ? expected[5 - x] : bg;
    EXPECT_TRUE(SameBits(out.at(x, 0), want)) << "x " << x;
  }
  EXPECT_TRUE(SameBits(out.at(6, 0), src));
}

TEST(Spreads, StaircaseRampAtEveryDepth) {
  CheckSpreadLeft<Depth8>(test::Grey8(0), test::Grey8(255),
                          {test::Grey8(112), test::Grey8(80), test::Grey8(48), test::Grey8(16), test::Grey8(0)});
  CheckSpreadLeft<Depth16>(test::Grey16(0), test::Grey16(32768),
                           {test::Grey16(14336), test::Grey16(10241), test::Grey16(6145), test::Grey16(2050)});
  CheckSpreadLeft<DepthF>(test::GreyF(0), test::GreyF(1),
                          {test::GreyF(0.4375f), test::GreyF(0.3125f), test::GreyF(0.1875f), test::GreyF(0.0625f)});
}

TEST(Spreads, StopAtTheImageBorder) {
  Image<Pixel8> in(3, 1, test::Grey8(0));
  in.at(2, 0) = test::Grey8(255);
  Image<Pixel8> out = in;
  const test::Map map = test::HandMap({"..."});
  const auto f = test::MakeFrame<Depth8>(in, out, map, Params{});
  SpreadLeft(f, 1, 0, Depth8::RunRamp(100, 3, 0));  // a ramp of five weights, two pixels to go
  EXPECT_EQ(out.at(1, 0).red, 112);
  EXPECT_EQ(out.at(0, 0).red, 80);
  SpreadRight(f, 1, 0, Depth8::RunRamp(100, 3, 0));  // from (1, 0) into (2, 0) only
  EXPECT_EQ(out.at(2, 0).red, 255 - 112);
}

TEST(Spreads, LineEndFromTheTipInwards) {
  // A line of 4 on a plain background at softness 70.
  const std::vector<std::string> rows = {"........", "..####..", "........"};
  Image<Pixel8> in = test::Draw<Pixel8>(rows, ".#", {test::Grey8(255), test::Grey8(0)});
  Image<Pixel8> out = in;
  const auto map = test::BuildMap<Depth8>(in, 10);
  const auto f = test::MakeFrame<Depth8>(in, out, map, Params{});
  const std::int32_t s = LineEndRunLeft(5, 1, map.view);
  ASSERT_EQ(s, 3);
  SpreadLeft(f, 5, 1, Depth8::LineEndRamp(70, s, 0));
  EXPECT_EQ(out.at(5, 1).red, 209);
  EXPECT_EQ(out.at(4, 1).red, 118);
  EXPECT_EQ(out.at(3, 1).red, 29);
  EXPECT_EQ(out.at(2, 1).red, 0);
}

// A 45-degree edge: '#' where x + y <= 9. The walk up and to the right from (4, 5) covers six cells
// (n = 5) before it reaches the zero row.
template <class D>
void CheckDiagonal(typename D::Pixel dark, typename D::Pixel light, const std::vector<typename D::Pixel>& blended) {
  using P = typename D::Pixel;
  Image<P> in(12, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) in.at(x, y) = x + y <= 9 ? light : dark;
  Image<P> out = in;
  const auto map = test::BuildMap<D>(in, D::Convert(10));
  Params params;
  params.softness = 100;
  const auto f = test::MakeFrame<D>(in, out, map, params);
  EXPECT_TRUE(DiagonalBelowUpRight(f, 3, 6));
  for (int k = 0; k < 6; ++k) {
    const P want = k < static_cast<int>(blended.size()) ? blended[k] : dark;
    EXPECT_TRUE(SameBits(out.at(4 + k, 6 - k), want)) << "cell " << k;
    EXPECT_TRUE(SameBits(out.at(4 + k, 5 - k), light)) << "restored cell " << k;
  }
}

TEST(Diagonal, FortyFiveDegreeEdgeOfSixCells) {
  CheckDiagonal<Depth8>(test::Grey8(0), test::Grey8(255),
                        {test::Grey8(74), test::Grey8(53), test::Grey8(32), test::Grey8(11)});
  CheckDiagonal<Depth16>(test::Grey16(0), test::Grey16(32768),
                         {test::Grey16(9557), test::Grey16(6827), test::Grey16(4096), test::Grey16(1365)});
}

TEST(Diagonal, AShortDiagonalBlendsNothing) {
  Image<Pixel8> in = test::Draw<Pixel8>({"....", "#...", "##..", "###."}, ".#", {test::Grey8(0), test::Grey8(255)});
  Image<Pixel8> out = in;
  const auto map = test::BuildMap<Depth8>(in, 10);
  const auto f = test::MakeFrame<Depth8>(in, out, map, Params{});
  // From the step at (0, 2): one diagonal cell above it, then the walk leaves the line.
  EXPECT_FALSE(DiagonalBelowUpRight(f, 0, 2));
  EXPECT_EQ(in.bytes(), out.bytes());
}

template <class P>
Image<P> LonePixel(P background, P pixel) {
  Image<P> img(5, 5, background);
  img.at(2, 2) = pixel;
  return img;
}

TEST(IsolatedPixel, LoneWhitePixelOnBlack) {
  for (auto [softness, grey] : {std::pair{1, 252}, {100, 127}}) {
    Params params;
    params.softness = softness;
    const auto in = LonePixel(test::Grey8(0), test::Grey8(255));
    const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, in, params);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        const Pixel8 want = x == 2 && y == 2 ? test::Grey8(grey) : test::Grey8(0);
        EXPECT_TRUE(SameBits(out.at(x, y), want)) << softness << " at " << x << "," << y;
      }
  }
}

TEST(IsolatedPixel, SameAverageAtTheDeeperDepths) {
  Params params;
  params.softness = 100;
  const auto out16 = test::RenderImage(Depth::U16, SourceMode::Plain,
                                       LonePixel(test::Grey16(0), test::Grey16(32768)), params);
  // 32768 * 65535 / (65535 + 4 * 16383) weighted: half grey, within rounding of the 8-bit result.
  EXPECT_NEAR(out16.at(2, 2).red, 16384, 8);
  EXPECT_EQ(out16.at(2, 2).alpha, 32768);
  EXPECT_EQ(out16.at(1, 2).red, 0);
  const auto outF =
      test::RenderImage(Depth::F32, SourceMode::Plain, LonePixel(test::GreyF(0), test::GreyF(1)), params);
  EXPECT_NEAR(outF.at(2, 2).red, 0.5f, 1e-4f);
  EXPECT_FLOAT_EQ(outF.at(2, 2).alpha, 1.0f);
}

}  // namespace
}  // namespace tessaline
