// The pieces of the scan on drawn images and hand-made maps: spreads, the diagonal sub-kernels, the
// isolated-pixel average and the corner touch-up, with the exact values of the ramps they blend
// along, and the straight-edge skip.
#include <gtest/gtest.h>

#include <random>

#include "step_analysis.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

// Spreads full scale into black in all four directions along the ramp of a staircase tread of four at
// softness 100 (step 8191 of 65535), in a row or column of ten: towards 0 from the step between
// pixels 3 and 4, towards 9 from the step between 6 and 7, each stopping at the end of the image.
template <class D>
void CheckSpreads(typename D::Pixel bg, typename D::Pixel src, const std::vector<typename D::Pixel>& expected) {
  using P = typename D::Pixel;
  for (int direction = 0; direction < 4; ++direction) {  // left, right, up, down
    const bool vertical = direction >= 2, back = direction % 2 == 0;
    const int from = back ? 4 : 6;
    Image<P> in(vertical ? 1 : 10, vertical ? 10 : 1, bg);
    (vertical ? in.at(0, from) : in.at(from, 0)) = src;
    Image<P> out = in;
    const test::Map map(in.width(), in.height());
    const auto f = test::MakeFrame<D>(in, out, map, Params{});
    const auto ramp = D::RunRamp(100, 3, 0);
    if (direction == 0) SpreadLeft(f, 3, 0, ramp);
    if (direction == 1) SpreadRight(f, 6, 0, ramp);
    if (direction == 2) SpreadUp(f, 0, 3, ramp);
    if (direction == 3) SpreadDown(f, 0, 6, ramp);
    test::ExpectPixels(out, [&](int x, int y) {
      const int i = vertical ? y : x, k = back ? 3 - i : i - 7;  // the k-th pixel of the spread
      if (i == from) return src;
      return k >= 0 && k < static_cast<int>(expected.size()) ? expected[static_cast<std::size_t>(k)] : bg;
    }, "depth " + std::to_string(sizeof(P)) + " direction " + std::to_string(direction));
  }
}

TEST(Spreads, StaircaseRampAtEveryDepth) {
  using test::Grey8, test::Grey16, test::GreyF;
  CheckSpreads<Depth8>(Grey8(0), Grey8(255), {Grey8(112), Grey8(80), Grey8(48), Grey8(16), Grey8(0)});
  CheckSpreads<Depth16>(Grey16(0), Grey16(32768), {Grey16(14336), Grey16(10241), Grey16(6145), Grey16(2050)});
  CheckSpreads<DepthF>(GreyF(0), GreyF(1), {GreyF(0.4375f), GreyF(0.3125f), GreyF(0.1875f), GreyF(0.0625f)});
}

TEST(Spreads, LineEndFromTheTipInwards) {
  // A black line of 4 on white at softness 70: line-end run 3, step 2 * 3276700 / 280.
  Image<Pixel8> in = test::DrawGrey({"########", "##....##", "########"}), out = in;
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
  EXPECT_TRUE(DiagonalBelowUpRight(test::MakeFrame<D>(in, out, map, Params{.softness = 100}), 3, 6));
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
  Image<Pixel8> in = test::DrawGrey({"....", "#...", "##..", "###."}), out = in;
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
  test::ExpectPixels(test::RenderImage(depth, SourceMode::Plain, in, Params{.softness = softness}),
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

// A lone vertical step with no tread on either side: each pixel takes the other's colour at the corner
// weight, 6553 / 65535 from softness 70 up and in proportion below (3276 at 35).
TEST(CornerWeight, ALoneStepBlendsFaintlyAcrossIt) {
  for (const auto& [softness, dark, light] : {std::tuple{70, 25, 229}, {100, 25, 229}, {35, 13, 242}}) {
    const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, test::DrawGrey({"..##"}), Params{.softness = softness});
    const int want[] = {0, dark, light, 255};
    test::ExpectPixels(out, [&](int x, int) { return test::Grey8(want[x]); }, std::to_string(softness));
  }
}

// The corner touch-up's three-quarter restore of (x+1, 2), on a right step at (x, 3) under one at
// (x, 2), with lower steps at (x+1, 1) and (x+2, 1) and nothing else around: it restores only when
// (x+1, 2) has neither a right (1) nor a lower (2) step and (x, 1) no diagonal one (4), and never
// from column 0. In every mode: the key colour is black at threshold 0, so the grey source is kept by
// the key and removed by its inverse.
template <class D>
void CheckCornerRestore(typename D::Pixel source, typename D::Pixel before) {
  using P = typename D::Pixel;
  const struct {
    int x;
    char above, beside;
    bool restores;
  } cases[] = {{1, '.', '.', true},  {1, '1', '.', false}, {1, '2', '.', false}, {1, '3', '.', false},
               {1, '4', '.', true},  {1, '8', '.', true},  {1, '.', '4', false}, {0, '.', '.', false},
               {0, '1', '.', false}, {0, '2', '.', false}, {0, '3', '.', false}};
  for (const auto& c : cases) {
    const std::string pad(static_cast<std::size_t>(c.x), '.');
    const test::Map map =
        test::HandMap({pad + "....", pad + c.beside + "22.", pad + "1" + c.above + "..", pad + "1...", pad + "...."});
    auto check = [&]<SourceMode M>() {
      Image<P> in(c.x + 4, 5, source), out(c.x + 4, 5, before);
      CornerTouchUp(test::MakeFrame<D, M>(in, out, map, Params{}), c.x, 3, false);
      P want = before, keyed = source;
      if (M == SourceMode::KeyInvert) keyed.alpha = 0;
      if (c.restores) D::Blend(want, keyed, D::kThreeQuarters);
      test::ExpectPixels(out, [&](int x, int y) { return x == c.x + 1 && y == 2 ? want : before; },
                         "depth " + std::to_string(sizeof(P)) + " mode " + std::to_string(int(M)) + " x " +
                             std::to_string(c.x) + " entry " + c.above + c.beside);
    };
    check.template operator()<SourceMode::Plain>();
    check.template operator()<SourceMode::Key>();
    check.template operator()<SourceMode::KeyInvert>();
  }
}

TEST(CornerTouchUp, ThreeQuarterRestoreAboveRightOfARightStep) {
  CheckCornerRestore<Depth8>(test::Grey8(200), test::Grey8(0));
  CheckCornerRestore<Depth16>(test::Grey16(25000), test::Grey16(0));
  CheckCornerRestore<DepthF>(test::GreyF(0.8f), test::GreyF(0.0f));
  // The weight itself: 200 pulled from 0 by 49151 / 65535 of the way.
  Pixel8 restored = test::Grey8(0);
  Depth8::Blend(restored, test::Grey8(200), Depth8::kThreeQuarters);
  EXPECT_TRUE(SameBits(restored, test::Grey8(150)));
}

// The scan skips pixels inside straight edges without analysing them: on random maps made mostly of
// straight-edge entries (and the other entries that occur next to them), the analysis of every
// skipped pixel must leave the whole output as it was, at every depth's arithmetic (8-bit here: the
// test is on the map alone).
TEST(StraightEdges, SkippedPixelsAreExactlyThoseWhoseAnalysisChangesNothing) {
  constexpr int kW = 9, kH = 8;
  const char kinds[] = "000EEDDC4812237BF96";
  std::mt19937 random(3);
  int skipped = 0;
  for (int trial = 0; trial < 40000; ++trial) {
    std::vector<std::string> rows(kH, std::string(kW, '.'));
    for (std::string& row : rows)
      for (char& c : row) c = kinds[random() % (sizeof kinds - 1)];
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
        const std::string where = std::to_string(x) + "," + std::to_string(y);
        test::ExpectSameImage(out, before, "trial " + std::to_string(trial) + ", skipped pixel " + where);
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
