// Tread lengths, line ends, the 2 x 2 dot test and the softness of a tread, on maps built from drawn
// images.
#include <algorithm>

#include <gtest/gtest.h>

#include "step_analysis.h"
#include "test_image.h"

namespace tessaline {
namespace {

using test::MapOf;

// Treads of 4 pixels, falling to the left.
const std::vector<std::string> kFalling = {
    "........................",  //
    "....................####",  //
    "................########",  //
    "............############",  //
    "........################",  //
    "....####################",  //
    "########################",
};

std::vector<std::string> Mirrored(std::vector<std::string> rows) {
  for (std::string& row : rows) std::reverse(row.begin(), row.end());
  return rows;
}
std::vector<std::string> Transposed(const std::vector<std::string>& rows) {
  std::vector<std::string> t(rows[0].size(), std::string(rows.size(), '.'));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[0].size(); ++x) t[x][y] = rows[y][x];
  return t;
}

TEST(Runs, RegularStaircaseGivesTreadMinusOneFromBothSides) {
  const auto falling = MapOf(kFalling), rising = MapOf(Mirrored(kFalling)), turned = MapOf(Transposed(kFalling));
  for (int k = 0; k < 3; ++k) {
    const int x = 15 - 4 * k, y = 2 + k;  // falling: steps at (15, 2), (11, 3), (7, 4)
    ASSERT_TRUE(falling.view.R(x, y));
    EXPECT_EQ(RunLeft(x, y, falling.view), 3) << x;
    EXPECT_EQ(RunRight(x, y, falling.view), 3) << x;
    // Measured back from the far end of the left tread: the next step is in another row.
    EXPECT_EQ(RunRight(x - 4, y, falling.view), 0) << x;
    const int rx = 22 - x;  // the mirror image: the step is left of the same pixel pair
    ASSERT_TRUE(rising.view.R(rx, y));
    EXPECT_EQ(RunLeft(rx, y, rising.view), 3) << rx;
    EXPECT_EQ(RunRight(rx, y, rising.view), 3) << rx;
    EXPECT_EQ(RunLeft(rx + 4, y, rising.view), 0) << rx;
    // Turned on its side: the same treads as vertical runs.
    ASSERT_TRUE(turned.view.D(y, x));
    EXPECT_EQ(RunUp(y, x, turned.view), 3) << x;
    EXPECT_EQ(RunDown(y, x, turned.view), 3) << x;
  }
}

const std::vector<std::string> kPlateau = {"..........", "...####...", "##########"};
const std::vector<std::string> kDot = {"........", "........", "...##...", "...##...", "........", "........"};
const std::vector<std::string> kDotBeside = {"..........", "...oo.....", "...##.....", "...##.....", ".........."};
const std::vector<std::string> kTwoWide = {"......", "..##..", "######"};

TEST(Runs, TreadsAndLineEnds) {
  struct Probe {
    std::int32_t (*run)(int, int, const EdgeMapView&);
    int x, y;
    std::int32_t want;
  };
  const struct {
    const char* what;
    std::vector<std::string> drawing;
    std::vector<Probe> probes;
  } cases[] = {
      {"no tread on either level", {".......", "...#...", "......."},
       {{RunLeft, 2, 1, 0}, {RunRight, 2, 1, 0}, {RunLeft, 3, 1, 0}, {RunRight, 3, 1, 0}}},
      // A corner: the tread is 4 long, but the pixel left of the step has no edge below it.
      {"a long tread needs the confirming edge", {"........", "....####", "....####"}, {{RunRight, 3, 1, 0}}},
      {"a tread of three needs it too", {".......", "....###", "....###"}, {{RunRight, 3, 1, 0}}},
      {"a shorter one does not", {"......", "....##", "....##"}, {{RunRight, 3, 1, 2}}},
      // The upper phase reads the zero row above and stops at once; the lower one counts the tread.
      {"row 0", {"..##", "####"}, {{RunUp, 2, 0, 0}, {RunLeft, 1, 0, 1}}},
      {"plateau", kPlateau, {{RunLeft, 6, 1, 3}, {RunRight, 2, 1, 3}}},
      {"2 x 2 dot", kDot, {{RunLeft, 4, 2, 1}}},
      {"dot beside", kDotBeside, {{RunLeft, 4, 1, 1}}},
      {"two wide", kTwoWide, {{RunLeft, 3, 1, 1}}},
      // A one-pixel line is no stair, so its end is measured: a line of L pixels gives CompressRun(L - 1).
      {"line of 12", {"................", "..############..", "................"},
       {{RunLeft, 13, 1, 0}, {LineEndRunLeft, 13, 1, 8}, {LineEndRunRight, 1, 1, 8}}},
      {"line of 2", {"......", "..##..", "......"}, {{LineEndRunLeft, 3, 1, 1}, {LineEndRunRight, 1, 1, 1}}},
      {"two pixels thick is no line", {"......", "..##..", "..##..", "......"}, {{LineEndRunLeft, 3, 1, 0}}},
      // Its ends, and beside it (x = 0) no line at all.
      {"vertical line", {"...", "...", ".#.", ".#.", ".#.", ".#.", "...", "..."},
       {{LineEndRunUp, 1, 5, 3}, {LineEndRunDown, 1, 1, 3}, {LineEndRunUp, 0, 5, 0}}},
  };
  for (const auto& c : cases) {
    const test::Map map = MapOf(c.drawing);
    for (const Probe& p : c.probes)
      EXPECT_EQ(p.run(p.x, p.y, map.view), p.want) << c.what << " at " << p.x << "," << p.y;
  }
}

TEST(LineEnds, CompressRun) {
  const int expected[] = {0, 1, 2, 3, 4, 5, 5, 6, 6, 7};
  for (int n = 0; n < 10; ++n) EXPECT_EQ(CompressRun(n), expected[n]) << n;
  EXPECT_EQ(CompressRun(15), 10);
}

TEST(IsolatedBlock, OnlyAFreeTwoByTwoDot) {
  auto changed = kDot;
  changed[3][3] = 'o';
  const std::vector<std::string> tall = {"........", "........", "...##...", "...##...", "...##...", "........"};
  const std::vector<std::string> corner = {"##..", "##..", "...."};
  const struct {
    std::vector<std::string> drawing;
    int direction, x, y;
    bool dot;
  } cases[] = {
      {kDot, 0, 4, 2, true},   // left of the step right of the dot
      {kDot, 1, 2, 3, true},   // right of the step left of the dot
      {kDot, 2, 3, 3, true},   // above the step below the dot
      {kDot, 3, 4, 1, true},   // below the step above the dot
      {changed, 0, 4, 2, false},  // one pixel changed
      {tall, 0, 4, 2, false},     // a 2 x 3 block
      // Direction 1 at the last column and 3 at the last row are false without reading the map; a
      // dot touching the top border lacks the edge above it.
      {corner, 1, 3, 0, false},
      {corner, 3, 0, 2, false},
      {corner, 0, 1, 0, false},
  };
  for (const auto& c : cases) {
    const int w = static_cast<int>(c.drawing[0].size()), h = static_cast<int>(c.drawing.size());
    EXPECT_EQ(IsolatedBlockTest(c.direction, c.x, c.y, w, h, MapOf(c.drawing).view), c.dot)
        << c.direction << " " << c.x << "," << c.y;
  }
}

// A tread bounded by steps at both ends is shortened; one that belongs to a 2 x 2 dot much more.
TEST(RunSoftness, PlateausAndDots) {
  const std::vector<std::string> stairs = {"............", "........####", "....########", "############"};
  const struct {
    std::vector<std::string> drawing;
    Side side;
    int x, y;
    std::int32_t n, softness, want;
  } cases[] = {
      {stairs, SideLeft, 7, 1, 3, 100, 100},      // a regular tread keeps the softness
      {stairs, SideLeft, 2, 1, 3, 100, 100},      // its far end would lie outside the image
      {kPlateau, SideLeft, 6, 1, 3, 100, 71},     // (2n - far) * s / 1.4n
      {kPlateau, SideLeft, 6, 1, 3, 70, 50},
      {kPlateau, SideRight, 2, 1, 3, 70, 50},
      {kDot, SideLeft, 4, 2, 1, 70, 7},           // part of a 2 x 2 dot: a tenth
      {kDot, SideLeft, 4, 2, 1, 100, 10},
      {kDotBeside, SideLeft, 4, 1, 1, 70, 25},    // a dot directly across the edge: 36 %
      {kTwoWide, SideLeft, 3, 1, 1, 70, 50},      // otherwise s / 1.4
  };
  for (const auto& c : cases) {
    const int w = static_cast<int>(c.drawing[0].size()), h = static_cast<int>(c.drawing.size());
    EXPECT_EQ(RunSoftness(c.side, c.x, c.y, c.n, c.softness, w, h, MapOf(c.drawing).view), c.want)
        << c.side << " " << c.x << "," << c.y << " softness " << c.softness;
  }
}

}  // namespace
}  // namespace tessaline
