// The entry point: views, sizes, the copy stage, the softness-0 return and agreement across depths.
#include <cmath>

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

Image<Pixel8> Cel8() {
  return test::Draw<Pixel8>(kCel, ".#rob",
                            {{255, 250, 245, 240}, {255, 20, 30, 160}, {255, 230, 20, 20}, {255, 0, 0, 0}, {255, 255, 255, 255}});
}

template <class P>
Image<P> Convert(const Image<Pixel8>& img, P (*convert)(const Pixel8&)) {
  Image<P> out(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) out.at(x, y) = convert(img.at(x, y));
  return out;
}
Pixel16 To16(const Pixel8& p) {
  auto c = [](int v) { return static_cast<std::uint16_t>((v * 32768 + 127) / 255); };
  return {c(p.alpha), c(p.red), c(p.green), c(p.blue)};
}
PixelF ToF(const Pixel8& p) { return {p.alpha / 255.0f, p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f}; }

TEST(Render, SoftnessZeroIsTheCopyStage) {
  const auto in = Cel8();
  Params params;
  params.softness = 0;
  const auto plain = test::RenderImage(Depth::U8, SourceMode::Plain, in, params);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) EXPECT_TRUE(SameBits(plain.at(x, y), in.at(x, y)));
  // Keyed: the key colour (the dark fill) loses its alpha and nothing else changes.
  params.keyColor[1] = 20;
  params.keyColor[2] = 30;
  params.keyColor[3] = 160;
  const auto keyed = test::RenderImage(Depth::U8, SourceMode::Key, in, params);
  const auto inverted = test::RenderImage(Depth::U8, SourceMode::KeyInvert, in, params);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) {
      Pixel8 removed = in.at(x, y);
      removed.alpha = 0;
      const bool key = kCel[y][x] == '#';
      EXPECT_TRUE(SameBits(keyed.at(x, y), key ? removed : in.at(x, y)));
      EXPECT_TRUE(SameBits(inverted.at(x, y), key ? in.at(x, y) : removed));
    }
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
}

TEST(Render, UniformAndHighThresholdImagesStayTheCopy) {
  Image<Pixel8> uniform(13, 7, {255, 1, 2, 3});
  EXPECT_EQ(test::RenderImage(Depth::U8, SourceMode::Plain, uniform, Params{}).at(6, 3).blue, 3);
  const auto in = Cel8();
  Params params;
  params.colorThreshold = 1020;
  const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, in, params);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) EXPECT_TRUE(SameBits(out.at(x, y), in.at(x, y)));
}

TEST(Render, RowPaddingDoesNotChangeTheResult) {
  const auto in = Cel8();
  const auto reference = test::RenderImage(Depth::U8, SourceMode::Plain, in, Params{});
  Image<Pixel8> padded(in.width(), in.height(), Pixel8{}, 9);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) padded.at(x, y) = in.at(x, y);
  Image<Pixel8> out(in.width(), in.height(), Pixel8{}, 0);
  std::vector<std::uint8_t> map(EdgeMapBytes(in.width(), in.height()));
  ASSERT_EQ(Render(Depth::U8, SourceMode::Plain, padded.view(), out.mutableView(), Params{}, map.data()),
            RenderStatus::Ok);
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) EXPECT_TRUE(SameBits(out.at(x, y), reference.at(x, y)));
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
  Image<Pixel8> column = test::Draw<Pixel8>({".", "#", "#", "."}, ".#", {test::Grey8(0), test::Grey8(255)});
  const auto outColumn = test::RenderImage(Depth::U8, SourceMode::Plain, column, Params{});
  Image<Pixel8> row = test::Draw<Pixel8>({".##.#"}, ".#", {test::Grey8(0), test::Grey8(255)});
  const auto outRow = test::RenderImage(Depth::U8, SourceMode::Plain, row, Params{});
  // Alpha stays opaque everywhere; only colours move.
  for (int y = 0; y < 4; ++y) EXPECT_EQ(outColumn.at(0, y).alpha, 255);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(outRow.at(x, 0).alpha, 255);
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
    const auto out16 = test::RenderImage(Depth::U16, mode, Convert<Pixel16>(in8, To16), params);
    const auto outF = test::RenderImage(Depth::F32, mode, Convert<PixelF>(in8, ToF), params);
    int changed = 0;
    for (int y = 0; y < in8.height(); ++y)
      for (int x = 0; x < in8.width(); ++x) {
        const Pixel8 a = out8.at(x, y);
        const Pixel16 b = out16.at(x, y);
        const PixelF c = outF.at(x, y);
        changed += !SameBits(a, in8.at(x, y));
        const int channels8[] = {a.alpha, a.red, a.green, a.blue};
        const double channels16[] = {b.alpha / 32768.0, b.red / 32768.0, b.green / 32768.0, b.blue / 32768.0};
        const double channelsF[] = {c.alpha, c.red, c.green, c.blue};
        for (int i = 0; i < 4; ++i) {
          // Within three 8-bit levels: the integer ramps truncate, the float ones do not.
          EXPECT_NEAR(channels8[i] / 255.0, channels16[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
          EXPECT_NEAR(channels8[i] / 255.0, channelsF[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
        }
      }
    EXPECT_GT(changed, 10) << int(mode);
  }
}

}  // namespace
}  // namespace tessaline
