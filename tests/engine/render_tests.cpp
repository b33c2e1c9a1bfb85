// The entry point: refused calls, views and sizes, the copy stage and the colour key, the softness-0
// return and agreement across depths.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <functional>

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
  const std::vector<Pixel8> colours = {{255, 250, 245, 240}, {255, 20, 30, 160}, {255, 230, 20, 20}, {255, 0, 0, 0},
                                       {255, 255, 255, 255}};
  return test::Draw<Pixel8>(kCel, ".#rob", colours, padPixels);
}

// Every call the engine refuses, at every depth, on a 3 x 2 image and on empty ones (which need no
// memory, so that null data is taken there): the status, and input, output and map untouched.
TEST(Render, RefusedCallsTouchNothing) {
  struct Call {
    ImageView in;
    MutableImageView out;
    Params params;
    std::uint8_t* map;
  };
  using enum RenderStatus;
  struct Fault {
    std::string what;
    std::function<void(Call&)> apply;
    RenderStatus full, empty;
  };
  std::vector<Fault> faults = {
      {"wider output", [](Call& c) { ++c.out.width; }, SizeMismatch, SizeMismatch},
      {"taller output", [](Call& c) { ++c.out.height; }, SizeMismatch, SizeMismatch},
      {"null input", [](Call& c) { c.in.data = nullptr; }, BadView, Ok},
      {"null output", [](Call& c) { c.out.data = nullptr; }, BadView, Ok},
      {"null map", [](Call& c) { c.map = nullptr; }, BadView, Ok},
      {"nothing but nulls", [](Call& c) { c.in.data = c.out.data = nullptr, c.map = nullptr; }, BadView, Ok},
      {"input rows overlap", [](Call& c) { c.in.rowbytes = c.in.rowbytes / 2 - 1; }, BadView, Ok},
      {"bottom-up output rows overlap", [](Call& c) { c.out.rowbytes = 1 - c.out.rowbytes / 2; }, BadView, Ok},
      {"negative width", [](Call& c) { c.in.width = c.out.width = -1; }, BadView, BadView},
      {"negative height", [](Call& c) { c.in.height = c.out.height = -1; }, BadView, BadView},
      {"too wide", [](Call& c) { c.in.width = c.out.width = kMaxWidth + 1; }, BadView, BadView},
  };
  for (const auto& [field, value] :
       {std::pair{&Params::softness, -1}, {&Params::softness, 101}, {&Params::bias, -1}, {&Params::bias, 101},
        {&Params::colorThreshold, -1}, {&Params::colorThreshold, 1021}, {&Params::keyColorThreshold, -1},
        {&Params::keyColorThreshold, 1021}, {&Params::softness, INT_MAX}, {&Params::colorThreshold, INT_MIN}}) {
    const auto apply = [field = field, value = value](Call& c) { c.params.*field = value; };
    faults.push_back({"parameter " + std::to_string(value), apply, BadParams, BadParams});
  }
  for (const Depth depth : {Depth::U8, Depth::U16, Depth::F32})
    for (const auto& [w, h] : {std::pair{3, 2}, {0, 0}, {0, 2}, {3, 0}})
      for (const Fault& fault : faults) {
        const std::ptrdiff_t rowbytes = static_cast<std::ptrdiff_t>(PixelBytes(depth)) * (w + 3);
        std::vector<unsigned char> in(static_cast<std::size_t>(rowbytes * h) + 1, 0x5A), out(in.size(), 0xC3);
        std::vector<std::uint8_t> map(EdgeMapBytes(w, h), 0);
        const auto inBefore = in, outBefore = out, mapBefore = map;
        Call c{{in.data(), rowbytes, w, h}, {out.data(), rowbytes, w, h}, Params{}, map.data()};
        fault.apply(c);
        EXPECT_EQ(Render(depth, SourceMode::KeyInvert, c.in, c.out, c.params, c.map), w && h ? fault.full : fault.empty)
            << fault.what << ", depth " << int(depth) << ", " << w << " x " << h;
        EXPECT_TRUE(in == inBefore && out == outBefore && map == mapBefore) << fault.what;
      }
}

// At softness 0 Render is the copy stage: the plain mode copies, the key removes the alpha of the key
// colour (red, even where it is transparent already) and keeps its colour, the inverted key removes
// every other colour. Runs of one colour and a change back to a colour seen before are both covered.
template <class P>
void CheckCopyStage(Depth depth, P red, P blue, P clearRed) {
  const Image<P> in = test::Draw<P>({"RRBBRc", "cBRRBB"}, "RBc", {red, blue, clearRed});
  const Params params{.softness = 0, .keyColor = {255, 255, 0, 0}};
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

// Spreads run along treads and line ends along their lines, so every pixel that changes has a
// neighbour of another colour; with no pair over the threshold nothing changes.
TEST(Render, SmoothingChangesOnlyPixelsNextToAnEdge) {
  const auto in = Cel8(), out = test::RenderImage(Depth::U8, SourceMode::Plain, in, Params{});
  int changed = 0;
  for (int y = 0; y < in.height(); ++y)
    for (int x = 0; x < in.width(); ++x) {
      if (SameBits(out.at(x, y), in.at(x, y))) continue;
      bool nextToEdge = false;
      for (int ny = std::max(0, y - 1); ny <= std::min(in.height() - 1, y + 1); ++ny)
        for (int nx = std::max(0, x - 1); nx <= std::min(in.width() - 1, x + 1); ++nx)
          nextToEdge |= kCel[ny][nx] != kCel[y][x];
      EXPECT_TRUE(nextToEdge) << x << "," << y;
      ++changed;
    }
  EXPECT_GT(changed, 20);
  test::ExpectSameImage(test::RenderImage(Depth::U8, SourceMode::Plain, in, Params{.colorThreshold = 1020}), in);
  // One column, one row: alpha stays opaque everywhere; only colours move.
  for (const auto& rows : {std::vector<std::string>{".", "#", "#", "."}, std::vector<std::string>{".##.#"}}) {
    const auto out = test::RenderImage(Depth::U8, SourceMode::Plain, test::DrawGrey(rows), Params{});
    for (int y = 0; y < out.height(); ++y)
      for (int x = 0; x < out.width(); ++x) EXPECT_EQ(out.at(x, y).alpha, 255) << x << "," << y;
  }
}

TEST(Render, RowPaddingDoesNotChangeTheResult) {
  test::ExpectSameImage(test::RenderImage(Depth::U8, SourceMode::Plain, Cel8(9), Params{}, 0),
                        test::RenderImage(Depth::U8, SourceMode::Plain, Cel8(0), Params{}, 5));
}

// Within three 8-bit levels in every channel: the integer ramps truncate, the float ones do not.
TEST(Render, TheThreeDepthsMakeTheSameDecisions) {
  const auto in8 = Cel8();
  const Params params{.softness = 100, .bias = 30, .keyColor = {255, 230, 20, 20}};
  const auto unit = [](const auto& p, double scale) {
    return std::array<double, 4>{p.alpha / scale, p.red / scale, p.green / scale, p.blue / scale};
  };
  for (SourceMode mode : {SourceMode::Plain, SourceMode::Key, SourceMode::KeyInvert}) {
    const auto out8 = test::RenderImage(Depth::U8, mode, in8, params);
    const auto out16 = test::RenderImage(Depth::U16, mode, test::Convert(in8, test::To16), params);
    const auto outF = test::RenderImage(Depth::F32, mode, test::Convert(in8, test::ToF), params);
    int changed = 0;
    for (int y = 0; y < in8.height(); ++y)
      for (int x = 0; x < in8.width(); ++x) {
        changed += !SameBits(out8.at(x, y), in8.at(x, y));
        const auto a = unit(out8.at(x, y), 255.0), b = unit(out16.at(x, y), 32768.0), c = unit(outF.at(x, y), 1.0);
        for (int i = 0; i < 4; ++i) {
          EXPECT_NEAR(a[i], b[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
          EXPECT_NEAR(a[i], c[i], 3.0 / 255) << int(mode) << " " << x << "," << y;
        }
      }
    EXPECT_GT(changed, 10) << int(mode);
  }
}

}  // namespace
}  // namespace tessaline
