// What the edge map records, where, and what it leaves out.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessaline
