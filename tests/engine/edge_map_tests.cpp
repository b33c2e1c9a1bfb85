// What the edge map records, where, and what it leaves out.
#include <gtest/gtest.h>

#include "test_image.h"

namespace tessaline {
namespace {

using test::BuildMap;
using test::Image;

// Expects the map entries of the image rows, as hex digits ('.' for 0).
void ExpectEntries(const test::Map& m, const std::vector<std::string>& rows) {
  for (int y = 0; y < static_cast<int>(rows.size()); ++y)
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
      const char c = rows[y][x];
      const int expected = c == '.' ? 0 : std::stoi(std::string(1, c), nullptr, 16);
      EXPECT_EQ(m.at(x, y), expected) << "entry " << x << "," << y;
    }
}

// Every byte outside the image rows' entries stays zero.
void ExpectZeroFrame(const test::Map& m, int w, int h) {
  for (int y = -1; y <= h; ++y)
    for (int x = -4; x < m.stride - 4; ++x) {
      if (y >= 0 && y < h && x >= 0 && x < w) continue;
      EXPECT_EQ(m.at(x, y), 0) << "frame byte " << x << "," << y;
    }
}

TEST(EdgeMap, StrideAndSize) {
  EXPECT_EQ(MapStride(0), 8);
  EXPECT_EQ(MapStride(3), 8);
  EXPECT_EQ(MapStride(4), 12);
  EXPECT_EQ(MapStride(7), 12);
  EXPECT_EQ(MapStride(8), 16);
  EXPECT_EQ(EdgeMapBytes(10, 3), 5u * 16u);
  EXPECT_EQ(EdgeMapBytes(0, 0), 2u * 8u);
}

TEST(EdgeMap, OneDifferingPixelInAThreeByTwoImage) {
  Image<Pixel8> img(3, 2, test::Grey8(100));
  img.at(1, 0) = test::Grey8(200);
  const auto m = BuildMap<Depth8>(img, 10);
  ExpectEntries(m, {"97.", "..."});
  ExpectZeroFrame(m, 3, 2);
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

TEST(EdgeMap, DiagonalRampRecordsOnlyUnconditionalDiagonals) {
  const auto m = BuildMap<Depth8>(DiagonalRamp(10, 3), 10);
  ExpectEntries(m, {"...C...CC.", "...C...CC.", ".........."});
  ExpectZeroFrame(m, 10, 3);
}

TEST(EdgeMap, AnAxisDifferenceInAGroupEnablesTheDiagonalsOfLaterPixelsOnly) {
  // A step of 26 between columns 2 and 3: pixel 0's diagonals come before it and stay untested.
  const auto m = BuildMap<Depth8>(DiagonalRamp(6, 2, 3), 10);
  ExpectEntries(m, {".CDCC.", "..1..."});
}

TEST(EdgeMap, SameMapAtEveryDepth) {
  Image<Pixel8> img8 = test::Draw<Pixel8>({"..##..#", ".##.#..", "#..##.#", "....###"}, ".#",
                                          {test::Grey8(10), test::Grey8(240)});
  Image<Pixel16> img16(img8.width(), img8.height());
  Image<PixelF> imgF(img8.width(), img8.height());
  for (int y = 0; y < img8.height(); ++y)
    for (int x = 0; x < img8.width(); ++x) {
      const int v = img8.at(x, y).red;
      img16.at(x, y) = test::Grey16(v * 32768 / 255);
      imgF.at(x, y) = test::GreyF(v / 255.0f);
    }
  const auto m8 = BuildMap<Depth8>(img8, 10);
  const auto m16 = BuildMap<Depth16>(img16, Depth16::Convert(10));
  const auto mF = BuildMap<DepthF>(imgF, DepthF::Convert(10));
  EXPECT_EQ(m8.buffer, m16.buffer);
  EXPECT_EQ(m8.buffer, mF.buffer);
  // Something was recorded at all.
  EXPECT_NE(m8.at(1, 0), 0);
}

TEST(EdgeMap, SingleColumnHasOnlyBelowEntries) {
  Image<Pixel8> img(1, 4, test::Grey8(0));
  img.at(0, 2) = test::Grey8(255);
  const auto m = BuildMap<Depth8>(img, 10);
  ExpectEntries(m, {".", "2", "2", "."});
  ExpectZeroFrame(m, 1, 4);
}

TEST(EdgeMap, SingleRowHasOnlyRightEntries) {
  Image<Pixel8> img(6, 1, test::Grey8(0));
  img.at(2, 0) = test::Grey8(255);
  const auto m = BuildMap<Depth8>(img, 10);
  ExpectEntries(m, {".11..."});
  ExpectZeroFrame(m, 6, 1);
}

TEST(EdgeMap, UniformAndEmptyImagesRecordNothing) {
  const auto uniform = BuildMap<Depth8>(Image<Pixel8>(9, 5, test::Grey8(77)), 1);
  for (auto b : uniform.buffer) EXPECT_EQ(b, 0);
  const auto empty = BuildMap<Depth8>(Image<Pixel8>(0, 0), 1);
  for (auto b : empty.buffer) EXPECT_EQ(b, 0);
  const auto noRows = BuildMap<Depth8>(Image<Pixel8>(5, 0), 1);
  for (auto b : noRows.buffer) EXPECT_EQ(b, 0);
}

TEST(EdgeMap, AllFourBitsAndTheLastRowAndColumn) {
  // A checkerboard differs everywhere; groups and remainder record all four bits, the last row only
  // EdgeRight, the last column only EdgeBelow, and the corner nothing.
  Image<Pixel8> img(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) img.at(x, y) = test::Grey8((x + y) % 2 ? 255 : 0);
  const auto m = BuildMap<Depth8>(img, 10);
  // Diagonal neighbours of a checkerboard are equal, so G and A stay clear.
  ExpectEntries(m, {"3333332", "3333332", "111111."});
  ExpectZeroFrame(m, 7, 3);
}

}  // namespace
}  // namespace tessaline
