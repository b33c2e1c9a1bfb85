// The entry point: views, sizes, the copy stage and the colour key, the softness-0 return and
// agreement across depths.
#include <gtest/gtest.h>

#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

// A small cel drawing: flat fills with hard, stair-stepped edges, a line and a lone dot.
const std::vector<std::string> kCel = {
    "..................",  //
    "....######........",  //
    "...########...o...",  //
    "..#####rr###..o...",  //
    "..####rrrr##..o...",  //
    "...###rrrr#.......",  //
    "....######....b...",  //
    ".......##.........",  //
    "..................",
};

Image<Pixel8> Cel8(int padPixels = 3) {
  return test::Draw<Pixel8>(kCel, ".#rob",
                            {{255, 250, 245, 240}, {255, 20, 30, 160}, {255, 230, 20, 20}, {255, 0, 0, 0}, {255, 255, 255, 255}},
                            padPixels);
}

// At softness 0 Render is the copy stage: the plain mode copies, the key removes the alpha of the key
// colour (red, even where it is transparent already) and keeps its colour, the inverted key removes
// every other colour. Runs of one colour and a change back to a colour seen before are both covered.
template <class P>
void CheckCopyStage(Depth depth, P red, P blue, P clearRed) {
  const Image<P> in = test::Draw<P>({"RRBBRc", "cBRRBB"}, "RBc", {red, blue, clearRed});
  Params params;
  params.softness = 0;
  params.keyColor[1] = 255;
  for (SourceMode mode : {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert}) {
    test::ExpectPixels(test::RenderImage(depth, mode, in, params), [&](int x, int y) {
      P want = in.at(x, y);
      const bool isRed = want.red == red.red && want.blue == red.blue;
      if (mode != SourceMode::Plain && isRed == (mode == SourceMode::Key)) want.alpha = 0;
      return want;
    }, "mode " + std::to_string(static_cast<int>(mode)));
  }
}

TEST(Render, SoftnessZeroIsTheCopyStageAtEveryDepthAndMode) {
  CheckCopyStage<Pixel8>(Depth::U8, {255, 255, 0, 0}, {255, 0, 0, 255}, {0, 255, 0, 0});
  CheckCopyStage<Pixel16>(Depth::U16, {32768, 32768, 0, 0}, {32768, 0, 0, 32768}, {0, 32768, 0, 0});
  CheckCopyStage<PixelF>(Depth::F32, {1, 1, 0, 0}, {1, 0, 0, 1}, {0, 1, 0, 0});
}

TEST(Render, SmoothingChangesOnlyPixelsNearEdges) {
  const auto in = Cel8();
  const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, in, Params{});
  int changed = 0;
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) {
      if (SameBits(out.at(x, y), in.at(x, y))) continue;
      ++changed;
      bool nearEdge = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < in.width() && ny < in.height() && kCel[ny][nx] != kCel[y][x]) nearEdge = true;
        }
      // Spreads run along treads, so a changed pixel lies on an edge or on a tread next to one.
      EXPECT_TRUE(nearEdge || kCel[y][x] != '.') << x << "," << y;
    }
  EXPECT_GT(changed, 20);
  // With no pair over the threshold nothing is smoothed.
  Params params;
  params.colorThreshold = 1020;
  test::ExpectSameImage(test::RenderImage(Depth::U8, SourceMode::Plain, in, params), in);
}

TEST(Render, RowPaddingDoesNotChangeTheResult) {
  test::ExpectSameImage(test::RenderImage(Depth::U8, SourceMode::Plain, Cel8(9), Params{}, 0),
                        test::RenderImage(Depth::U8, SourceMode::Plain, Cel8(0), Params{}, 5));
}

TEST(Render, RefusesWithoutTouchingTheOutput) {
  const auto in = Cel8();
  Image<Pixel8> out(in.width() + 1, in.height(), {1, 2, 3, 4});
  const auto before = out.bytes();
  std::vector<std::uint8_t> map(EdgeMapBytes(in.width() + 1, in.height()));
  EXPECT_EQ(Render(Depth::U8, SourceMode::Plain, in.view(), out.mutableView(), Params{}, map.data()),
            RenderStatus::SizeMismatch);
  Image<Pixel8> same(in.width(), in.height(), {1, 2, 3, 4});
  const auto sameBefore = same.bytes();
  Params bad;
  bad.softness = 101;
  EXPECT_EQ(Render(Depth::U8, SourceMode::Plain, in.view(), same.mutableView(), bad, map.data()),
            RenderStatus::BadParams);
  MutableImageView narrow = same.mutableView();
  narrow.rowbytes = 4;  // rows would overlap
  EXPECT_EQ(Render(Depth::U8, SourceMode::Plain, in.view(), narrow, Params{}, map.data()), RenderStatus::BadView);
  EXPECT_EQ(Render(Depth::U8, SourceMode::Plain, in.view(), same.mutableView(), Params{}, nullptr),
            RenderStatus::BadView);
  EXPECT_EQ(out.bytes(), before);
  EXPECT_EQ(same.bytes(), sameBefore);
}

TEST(Render, EmptyAndThinImages) {
  std::vector<std::uint8_t> map(EdgeMapBytes(0, 0));
  EXPECT_EQ(Render(Depth::F32, SourceMode::Key, ImageView{}, MutableImageView{}, Params{}, map.data()),
            RenderStatus::Ok);
  // Alpha stays opaque everywhere; only colours move.
  for (const auto& rows : {std::vector<std::string>{".", "#", "#", "."}, std::vector<std::string>{".##.#"}}) {
    const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, test::DrawGrey(rows), Params{});
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x) EXPECT_EQ(out.at(x, y).alpha, 255) << x << "," << y;
  }
}

TEST(Render, TheThreeDepthsMakeTheSameDecisions) {
  const auto in8 = Cel8();
  for (SourceMode mode : {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert}) {
    Params params;
    params.softness = 100;
    params.bias = 30;
    params.keyColor[1] = 230;
    params.keyColor[2] = 20;
    params.keyColor[3] = 20;
    const auto out8 = test::RenderImage(Depth::U8, mode, in8, params);
    const auto out16 = test::RenderImage(Depth::U16, mode, test::Convert(in8, test::To16), params);
    const auto outF = test::RenderImage(Depth::F32, mode, test::Convert(in8, test::ToF), params);
    int changed = 0;
    for (int y = 0; y < in8.height(); ++y)
      for (int x = 0; x < in8.width(); ++x) {
        const Pixel8 a = out8.at(x, y);
        const Pixel16 b = out16.at(x, y);
        const PixelF c = outF.at(x, y);
        changed += !SameBits(a, in8.at(x, y));
        const double unit8[] = {a.alpha / 255.0, a.red / 255.0, a.green / 255.0, a.blue / 255.0};
        const double unit16[] = {b.alpha / 32768.0, b.red / 32768.0, b.green / 32768.0, b.blue / 32768.0};
        const double unitF[] = {c.alpha, c.red, c.green, c.blue};
        // Within three 8-bit levels: the integer ramps truncate, the float ones do not.
        for (int i = 0; i < 4; ++i) {
          EXPECT_NEAR(unit8[i], unit16[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
          EXPECT_NEAR(unit8[i], unitF[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
        }
      }
    EXPECT_GT(changed, 10) << int(mode);
  }
}

}  // namespace
}  // namespace tessaline
