// Spreads, the diagonal sub-kernels and the isolated-pixel average, on drawn images, with the exact
// values of the ramps they blend along.
#include <gtest/gtest.h>

#include <random>

#include "step_analysis.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

// Spreads red 255 (full scale) leftwards from x = 5 into black along the ramp of a staircase tread of
// four at softness 100 (step 8191 of 65535).
template <class D>
void CheckSpreadLeft(typename D::Pixel bg, typename D::Pixel src, const std::vector<typename D::Pixel>& expected) {
  using P = typename D::Pixel;
  Image<P> in(8, 1, bg);
  in.at(6, 0) = src;
  Image<P> out = in;
  const test::Map map = test::HandMap({"........"});
  SpreadLeft(test::MakeFrame<D>(in, out, map, Params{}), 5, 0, D::RunRamp(100, 3, 0));
  test::ExpectPixels(out, [&](int x, int) {
    if (x > 5) return x == 6 ? src : bg;
    return 5 - x < static_cast<int>(expected.size()) ? expected[5 - x] : bg;
  }, "depth " + std::to_string(sizeof(P)));
}

TEST(Spreads, StaircaseRampAtEveryDepth) {
  using test::Grey8, test::Grey16, test::GreyF;
  CheckSpreadLeft<Depth8>(Grey8(0), Grey8(255), {Grey8(112), Grey8(80), Grey8(48), Grey8(16), Grey8(0)});
  CheckSpreadLeft<Depth16>(Grey16(0), Grey16(32768), {Grey16(14336), Grey16(10241), Grey16(6145), Grey16(2050)});
  CheckSpreadLeft<DepthF>(GreyF(0), GreyF(1), {GreyF(0.4375f), GreyF(0.3125f), GreyF(0.1875f), GreyF(0.0625f)});
}

TEST(Spreads, StopAtTheImageBorder) {
  Image<Pixel8> in = test::DrawGrey({"..#"});
  Image<Pixel8> out = in;
  const test::Map map = test::HandMap({"..."});
  const auto f = test::MakeFrame<Depth8>(in, out, map, Params{});
  SpreadLeft(f, 1, 0, Depth8::RunRamp(100, 3, 0));  // a ramp of five weights, two pixels to go
  SpreadRight(f, 1, 0, Depth8::RunRamp(100, 3, 0));  // from (1, 0) into (2, 0) only
  test::ExpectPixels(out, [](int x, int) { return test::Grey8(x == 0 ? 80 : x == 1 ? 112 : 255 - 112); });
}

TEST(Spreads, LineEndFromTheTipInwards) {
  // A black line of 4 on white at softness 70: line-end run 3, step 2 * 3276700 / 280.
  Image<Pixel8> in = test::DrawGrey({"########", "##....##", "########"});
  Image<Pixel8> out = in;
  const auto map = test::BuildMap<Depth8>(in, 10);
  ASSERT_EQ(LineEndRunLeft(5, 1, map.view), 3);
  SpreadLeft(test::MakeFrame<Depth8>(in, out, map, Params{}), 5, 1, Depth8::LineEndRamp(70, 3, 0));
  test::ExpectPixels(out, [&](int x, int y) {
    const int blended[] = {0, 0, 0, 29, 118, 209};
    return y == 1 && x >= 3 && x <= 5 ? test::Grey8(blended[x]) : in.at(x, y);
  });
}

// A 45-degree edge: light where x + y <= 9. The walk up and to the right from (4, 5) covers six cells
// (n = 5) before it reaches the zero row; the cells below the edge take ramp 1 (a third, step 5461 at
// softness 100), the ones above are restored towards their own colour, which leaves them as they are.
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
  EXPECT_TRUE(DiagonalBelowUpRight(test::MakeFrame<D>(in, out, map, params), 3, 6));
  test::ExpectPixels(out, [&](int x, int y) {
    const int k = x - 4;
    return x + y == 10 && k >= 0 && k < static_cast<int>(blended.size()) ? blended[k] : in.at(x, y);
  });
}

TEST(Diagonal, FortyFiveDegreeEdgeOfSixCells) {
  using test::Grey8, test::Grey16;
  CheckDiagonal<Depth8>(Grey8(0), Grey8(255), {Grey8(74), Grey8(53), Grey8(32), Grey8(11)});
  CheckDiagonal<Depth16>(Grey16(0), Grey16(32768), {Grey16(9557), Grey16(6827), Grey16(4096), Grey16(1365)});
}

TEST(Diagonal, AShortDiagonalBlendsNothing) {
  Image<Pixel8> in = test::DrawGrey({"....", "#...", "##..", "###."});
  Image<Pixel8> out = in;
  const auto map = test::BuildMap<Depth8>(in, 10);
  // From the step at (0, 2): one diagonal cell above it, then the walk leaves the line.
  EXPECT_FALSE(DiagonalBelowUpRight(test::MakeFrame<Depth8>(in, out, map, Params{}), 0, 2));
  EXPECT_EQ(in.bytes(), out.bytes());
}

// A lone full-scale pixel on black, rendered whole: only the pixel itself changes, averaged with its
// four neighbours, each weighted by SoftnessScale against the full weight of the pixel.
template <class P>
void CheckLonePixel(Depth depth, P background, P pixel, std::int32_t softness, P want) {
  Image<P> in(5, 5, background);
  in.at(2, 2) = pixel;
  Params params;
  params.softness = softness;
  test::ExpectPixels(test::RenderImage(depth, SourceMode::Plain, in, params),
                     [&](int x, int y) { return x == 2 && y == 2 ? want : background; },
                     "softness " + std::to_string(softness));
}

TEST(IsolatedPixel, LonePixelIsAveragedAtEveryDepth) {
  CheckLonePixel(Depth::U8, test::Grey8(0), test::Grey8(255), 1, test::Grey8(252));
  CheckLonePixel(Depth::U8, test::Grey8(0), test::Grey8(255), 100, test::Grey8(127));
  // Transparent neighbours only thin it: alpha 255 * 65535 / (65535 + 4 * 16383) = 127.5, rounded up.
  CheckLonePixel(Depth::U8, Pixel8{}, test::Grey8(255), 100, Pixel8{128, 255, 255, 255});
  // 32768 * 32768 / (32768 * (1 + 4 * 16383 / 65535)) + 0.5 = 16384.9, truncated.
  CheckLonePixel(Depth::U16, test::Grey16(0), test::Grey16(32768), 100, test::Grey16(16384));
  CheckLonePixel(Depth::F32, test::GreyF(0), test::GreyF(1), 100, test::GreyF(0.5f));  // 1 / (1 + 4 / 4)
}

// The scan skips pixels inside straight edges without analysing them: on random maps made mostly of
// straight-edge entries (and the other entries that occur next to them), the analysis of every
// skipped pixel must leave the whole output as it was, at every depth's arithmetic (8-bit here: the
// test is on the map alone).
TEST(StraightEdges, SkippedPixelsAreExactlyThoseWhoseAnalysisChangesNothing) {
  constexpr int kW = 9, kH = 8;
  const std::uint8_t kinds[] = {0, 0, 0, 0xE, 0xE, 0xD, 0xD, 0xC, 0x4, 0x8, 0x1, 0x2, 0x2, 0x3, 0x7, 0xB, 0xF, 0x9, 0x6};
  std::mt19937 random(3);
  int skipped = 0;
  for (int trial = 0; trial < 40000; ++trial) {
    std::vector<std::string> rows(kH, std::string(kW, '.'));
    for (std::string& row : rows)
      for (char& c : row) c = "0123456789ABCDEF"[kinds[random() % sizeof kinds]];
    const test::Map map = test::HandMap(rows);
    // The output as earlier pixels' blends may have left it: unlike the input, so that restores show.
    Image<Pixel8> in(kW, kH), before(kW, kH);
    for (Image<Pixel8>* image : {&in, &before})
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
          const auto byte = [&] { return static_cast<std::uint8_t>(random()); };
          const std::uint8_t alpha = random() % 2 ? 255 : byte();
          image->at(x, y) = {alpha, byte(), byte(), byte()};
        }
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (map.at(x, y) == 0 || !InsideStraightEdge(map.view, x, y, kW)) continue;
        Image<Pixel8> out = before;
        ScanPixel(test::MakeFrame<Depth8>(in, out, map, Params{}), x, y);
        test::ExpectSameImage(out, before, "trial " + std::to_string(trial) + ", skipped pixel " + std::to_string(x) + "," +
                                           std::to_string(y));
        ++skipped;
        if (HasFailure()) return;
      }
    }
  }
  EXPECT_GT(skipped, 10000);  // the random maps do reach the skipped patterns

  // A configuration the random maps rarely reach: a vertical edge pixel whose corner touch-up
  // restores the pixel up and to the right, which only the bit two rows up (no G) tells apart.
  const test::Map corner = test::HandMap({".........", ".........", "...22....", "..D......", "..D......",
                                          ".........", ".........", "........."});
  EXPECT_FALSE(InsideStraightEdge(corner.view, 2, 4, kW));
  Image<Pixel8> in(kW, kH, Pixel8{255, 10, 10, 10}), out(kW, kH, Pixel8{255, 200, 200, 200});
  ScanPixel(test::MakeFrame<Depth8>(in, out, corner, Params{}), 2, 4);
  EXPECT_NE(out.at(3, 3).red, 200);
}

}  // namespace
}  // namespace tessaline
