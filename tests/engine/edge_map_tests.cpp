// What the edge map records, where, and what it leaves out.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "reference_map.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

TEST(EdgeMap, StrideAndSize) {
  for (const auto& [w, stride] : {std::pair{0, 8}, {3, 8}, {4, 12}, {7, 12}, {8, 16}, {kMaxWidth, 0x7FFFFFF8}})
    EXPECT_EQ(MapStride(w), stride) << w;
  EXPECT_EQ(EdgeMapBytes(10, 3), 5u * 16u);
  EXPECT_EQ(EdgeMapBytes(0, 0), 2u * 8u);
  // Sizes the engine does not take need no map.
  EXPECT_EQ(EdgeMapBytes(-1, 5), 0u);
  EXPECT_EQ(EdgeMapBytes(5, -1), 0u);
  EXPECT_EQ(EdgeMapBytes(kMaxWidth + 1, 1), 0u);
}

// Red grows by 6 per column and green by 6 per row: no axis pair differs at threshold 10, both
// diagonals do; only the group's last pixel and the remainder test them without an earlier hit.
Image<Pixel8> DiagonalRamp(int w, int h, int jumpAt = -1) {
  Image<Pixel8> img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int red = 6 * x + (jumpAt >= 0 && x >= jumpAt ? 20 : 0);
      img.at(x, y) = {255, static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(6 * y), 40};
    }
  return img;
}

struct MapCase {
  const char* what;
  Image<Pixel8> image;
  std::vector<std::string> entries;  // hex digits, '.' for 0 (none: all 0); every byte around stays 0
};

TEST(EdgeMap, EntriesAndTheZeroFrame) {
  const MapCase cases[] = {
      {"one differing pixel", test::DrawGrey({".#.", "..."}), {"97.", "..."}},
      {"diagonals only where tested unconditionally", DiagonalRamp(10, 3),
       {"...C...CC.", "...C...CC.", ".........."}},
      // A step of 26 between columns 2 and 3: pixel 0's diagonals come before it and stay untested.
      {"an axis difference enables the diagonals of later pixels only", DiagonalRamp(6, 2, 3),
       {".CDCC.", "..1..."}},
      {"single column", test::DrawGrey({".", ".", "#", "."}), {".", "2", "2", "."}},
      {"single row", test::DrawGrey({"..#..."}), {".11..."}},
      // A checkerboard differs along both axes everywhere, its diagonal neighbours are equal; the last
      // row has only EdgeRight, the last column only EdgeBelow, the corner nothing.
      {"checkerboard", test::DrawGrey({".#.#.#.", "#.#.#.#", ".#.#.#."}), {"3333332", "3333332", "111111."}},
      {"uniform", Image<Pixel8>(9, 5, test::Grey8(77)), {}},
      {"empty", Image<Pixel8>(0, 0), {}},
      {"no rows", Image<Pixel8>(5, 0), {}},
  };
  for (const MapCase& c : cases) {
    const auto m = test::BuildMap<Depth8>(c.image, 10);
    const int w = c.image.width(), h = c.image.height();
    for (int y = -1; y <= h; ++y)
      for (int x = -4; x < m.stride - 4; ++x) {
        const bool recorded = y >= 0 && y < h && x >= 0 && x < w && !c.entries.empty();
        EXPECT_EQ(m.at(x, y), recorded ? test::HexEntry(c.entries[y][x]) : 0) << c.what << " at " << x << "," << y;
      }
  }
}

TEST(EdgeMap, SameMapAtEveryDepth) {
  const Image<Pixel8> img8 = test::DrawGrey({"..##..#", ".##.#..", "#..##.#", "....###"});
  const auto m8 = test::BuildMap<Depth8>(img8, 10);
  EXPECT_EQ(m8.buffer, test::BuildMap<Depth16>(test::Convert(img8, test::To16), Depth16::Convert(10)).buffer);
  EXPECT_EQ(m8.buffer, test::BuildMap<DepthF>(test::Convert(img8, test::ToF), DepthF::Convert(10)).buffer);
  EXPECT_NE(m8.at(1, 0), 0);  // something was recorded at all
}

// The builder (whole groups at once, flat groups skipped, SSE2 where there is) against the rule pair by
// pair, on random frames drawn mostly from one value of a pool of awkward ones (transparent, -0.0 and
// NaN alpha, infinities, equal and almost equal values), so that flat groups and groups with a single
// difference anywhere are common.
template <class D>
void CheckRandomFrames(const std::vector<typename D::Pixel>& pool, std::vector<typename D::Value> thresholds) {
  std::mt19937 random(7);
  const auto pick = [&] { return pool[random() % pool.size()]; };
  for (int n = 0; n < 20000; ++n) {
    const int w = 1 + static_cast<int>(random() % 19), h = 1 + static_cast<int>(random() % 4);
    const typename D::Pixel few[3] = {pick(), pick(), pick()};
    Image<typename D::Pixel> img(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.at(x, y) = few[random() % 8 < 6 ? 0 : 1 + random() % 2];
    const auto at = [&](int x, int y) { return img.at(x, y); };
    for (const auto t : thresholds)
      ASSERT_EQ(test::BuildMap<D>(img, t).buffer, test::ReferenceMap<D>(w, h, t, at)) << "frame " << n;
  }
}

TEST(EdgeMap, WholeFramesFollowThePairRule) {
  std::vector<Pixel8> pool8;
  for (const std::uint8_t a : {0, 1, 255})
    for (const std::uint8_t v : {0, 3, 4, 5, 250, 255}) pool8.push_back({a, v, 2, static_cast<std::uint8_t>(255 - v)});
  CheckRandomFrames<Depth8>(pool8, {10, 0});
  std::vector<Pixel16> pool16;
  for (const std::uint16_t a : {0, 1, 32768, 65535})
    for (const std::uint16_t v : {0, 640, 1285, 32768, 65535})
      pool16.push_back({a, v, 2, static_cast<std::uint16_t>(65535 - v)});
  CheckRandomFrames<Depth16>(pool16, {Depth16::Convert(10), 0});
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<PixelF> poolF;
  for (const float a : {0.0f, -0.0f, 1.0f, 0.5f, nan})
    for (const float v : {0.0f, -0.0f, 0.02f, 0.06f, 1.0f, inf, -inf, nan}) poolF.push_back({a, v, 0.25f, 1.0f - v});
  CheckRandomFrames<DepthF>(poolF, {10.0f / 255.0f, -1.0f});
}

}  // namespace
}  // namespace tessaline
