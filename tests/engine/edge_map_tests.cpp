// What the edge map records, where, and what it leaves out.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "test_image.h"

namespace tessaline {
namespace {

using test::Image;

TEST(EdgeMap, StrideAndSize) {
  EXPECT_EQ(MapStride(0), 8);
  EXPECT_EQ(MapStride(3), 8);
  EXPECT_EQ(MapStride(4), 12);
  EXPECT_EQ(MapStride(7), 12);
  EXPECT_EQ(MapStride(8), 16);
  EXPECT_EQ(EdgeMapBytes(10, 3), 5u * 16u);
  EXPECT_EQ(EdgeMapBytes(0, 0), 2u * 8u);
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

#ifdef TESSALINE_SSE2
// The vector group builders against the pair rule, on groups drawn from channel values that
// include the awkward ones (transparent, -0.0 and NaN alpha, infinities, equal and almost equal
// values): every entry must be what the scalar rule gives, diagonals dropped where it skips them.
template <class P, class T, class Differ, class Group>
void CheckGroups(const std::vector<P>& pool, T t, Differ differ, Group group) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
  for (int n = 0; n < 100000; ++n) {
    P p[5], q[5];
    for (int i = 0; i < 5; ++i) {
      p[i] = pool[pick(random)];
      q[i] = (n & 1) && i > 0 ? p[i - 1] : pool[pick(random)];  // every other group shares pixels
    }
    std::uint32_t want = 0;
    bool stepSoFar = false;
    for (int i = 0; i < 4; ++i) {
      stepSoFar |= differ(p[i], p[i + 1], t) || differ(p[i], q[i], t);
      const bool later = i < 3 && (differ(p[i + 1], p[i + 2], t) || differ(p[i + 1], q[i + 1], t));
      std::uint32_t e = (differ(p[i], p[i + 1], t) ? EdgeRight : 0) | (differ(p[i], q[i], t) ? EdgeBelow : 0);
      if (i == 3 || stepSoFar || later) {
        e |= (differ(p[i], q[i + 1], t) ? EdgeDiagonal : 0) | (differ(q[i], p[i + 1], t) ? EdgeAntiDiagonal : 0);
      }
      want |= e << (8 * i);
    }
    ASSERT_EQ(group(p, q, t), want) << "group " << n;
  }
}

TEST(EdgeMap, VectorGroupsFollowThePairRule) {
  std::vector<Pixel8> pool8;
  for (const int a : {0, 1, 255}) {
    for (const int v : {0, 3, 4, 5, 250, 255}) pool8.push_back({static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(v), 2, static_cast<std::uint8_t>(255 - v)});
  }
  CheckGroups(pool8, 10, PixelsDiffer8, GroupEntries8);
  CheckGroups(pool8, 0, PixelsDiffer8, GroupEntries8);

  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<PixelF> poolF;
  for (const float a : {0.0f, -0.0f, 1.0f, 0.5f, nan}) {
    for (const float v : {0.0f, -0.0f, 0.02f, 0.06f, 1.0f, inf, -inf, nan}) poolF.push_back({a, v, 0.25f, 1.0f - v});
  }
  CheckGroups(poolF, 10.0f / 255.0f, PixelsDifferF, GroupEntriesF);
  CheckGroups(poolF, -1.0f, PixelsDifferF, GroupEntriesF);
}
#endif

}  // namespace
}  // namespace tessaline
