// Tread lengths, line ends and the 2 x 2 dot test, on maps built from drawn images.
#include <gtest/gtest.h>

#include "edge_runs.h"
#include "test_image.h"

namespace tessaline {
namespace {

test::Map MapOf(const std::vector<std::string>& rows) {
  return test::BuildMap<Depth8>(test::Draw<Pixel8>(rows, ".#o", {test::Grey8(0), test::Grey8(255), test::Grey8(128)}),
                                10);
}

// Treads of 4 pixels, falling to the left and rising to the left.
const std::vector<std::string> kFalling = {
    "........................",  //
    "....................####",  //
    "................########",  //
    "............############",  //
    "........################",  //
    "....####################",  //
    "########################",
};
const std::vector<std::string> kRising = {
    "........................",  //
    "####....................",  //
    "########................",  //
    "############............",  //
    "################........",  //
    "####################....",  //
    "########################",
};

TEST(Runs, RegularStaircaseGivesTreadMinusOneFromBothSides) {
  const auto falling = MapOf(kFalling);
  for (auto [x, y] : {std::pair{15, 2}, {11, 3}, {7, 4}}) {
    ASSERT_TRUE(falling.view.R(x, y));
    EXPECT_EQ(RunLeft(x, y, falling.view), 3) << x;
    EXPECT_EQ(RunRight(x, y, falling.view), 3) << x;
    // Measured back from the far end of the left tread: the next step is in another row.
    EXPECT_EQ(RunRight(x - 4, y, falling.view), 0) << x;
  }
  const auto rising = MapOf(kRising);
  for (auto [x, y] : {std::pair{7, 2}, {11, 3}, {15, 4}}) {
    ASSERT_TRUE(rising.view.R(x, y));
    EXPECT_EQ(RunLeft(x, y, rising.view), 3) << x;
    EXPECT_EQ(RunRight(x, y, rising.view), 3) << x;
    EXPECT_EQ(RunLeft(x + 4, y, rising.view), 0) << x;
  }
}

TEST(Runs, TransposedStaircaseGivesTheSameOnTheVerticalRuns) {
  // The falling staircase turned on its side: columns instead of rows.
  std::vector<std::string> t(kFalling[0].size(), std::string(kFalling.size(), '.'));
  for (size_t y = 0; y < kFalling.size(); ++y)
    for (size_t x = 0; x < kFalling[0].size(); ++x) t[x][y] = kFalling[y][x];
  const auto m = MapOf(t);
  for (auto [x, y] : {std::pair{2, 15}, {3, 11}, {4, 7}}) {
    ASSERT_TRUE(m.view.D(x, y));
    EXPECT_EQ(RunUp(x, y, m.view), 3) << y;
    EXPECT_EQ(RunDown(x, y, m.view), 3) << y;
  }
}

TEST(Runs, AStepWithNoTreadOnEitherLevelGivesZero) {
  const auto m = MapOf({".......", "...#...", "......."});
  EXPECT_EQ(RunLeft(2, 1, m.view), 0);
  EXPECT_EQ(RunRight(2, 1, m.view), 0);
  EXPECT_EQ(RunLeft(3, 1, m.view), 0);
  EXPECT_EQ(RunRight(3, 1, m.view), 0);
}

TEST(Runs, ALongTreadNeedsTheConfirmingEdgeAShortOneDoesNot) {
  // A corner: the tread right of the step is 4 long, but the pixel left of the step has no edge
  // below it, so it is no stair.
  EXPECT_EQ(RunRight(3, 1, MapOf({"........", "....####", "....####"}).view), 0);
  EXPECT_EQ(RunRight(3, 1, MapOf({"......", "....##", "....##"}).view), 2);
}

TEST(Runs, RowZeroAndTheZeroFrame) {
  const auto m = MapOf({"..##", "####"});
  EXPECT_EQ(RunUp(2, 0, m.view), 0);
  // The upper phase reads the zero row above and stops at once; the lower one counts the tread of
  // two pixels along row 0 as 1, like any tread.
  EXPECT_EQ(RunLeft(1, 0, m.view), 1);
}

TEST(LineEnds, CompressRun) {
  const int expected[] = {0, 1, 2, 3, 4, 5, 5, 6, 6, 7};
  for (int n = 0; n < 10; ++n) EXPECT_EQ(CompressRun(n), expected[n]) << n;
  EXPECT_EQ(CompressRun(15), 10);
}

TEST(LineEnds, OnePixelLinesFromEitherEnd) {
  const auto twelve = MapOf({"................", "..############..", "................"});
  EXPECT_EQ(RunLeft(13, 1, twelve.view), 0);  // not a stair, so the line end is measured
  EXPECT_EQ(LineEndRunLeft(13, 1, twelve.view), 8);
  EXPECT_EQ(LineEndRunRight(1, 1, twelve.view), 8);
  const auto two = MapOf({"......", "..##..", "......"});
  EXPECT_EQ(LineEndRunLeft(3, 1, two.view), 1);
  EXPECT_EQ(LineEndRunRight(1, 1, two.view), 1);
  // Two pixels thick is no line.
  const auto thick = MapOf({"......", "..##..", "..##..", "......"});
  EXPECT_EQ(LineEndRunLeft(3, 1, thick.view), 0);
}

TEST(LineEnds, VerticalLines) {
  const auto m = MapOf({"...", "...", ".#.", ".#.", ".#.", ".#.", "...", "..."});
  EXPECT_EQ(LineEndRunUp(1, 5, m.view), 3);
  EXPECT_EQ(LineEndRunDown(1, 1, m.view), 3);
  EXPECT_EQ(LineEndRunUp(0, 5, m.view), 0);
}

TEST(IsolatedBlock, ATwoByTwoDotFromEachSide) {
  const std::vector<std::string> dot = {"........", "........", "...##...", "...##...", "........", "........"};
  const auto m = MapOf(dot);
  EXPECT_TRUE(IsolatedBlockTest(0, 4, 2, 8, 6, m.view));  // left of the step right of the dot
  EXPECT_TRUE(IsolatedBlockTest(1, 2, 3, 8, 6, m.view));  // right of the step left of the dot
  EXPECT_TRUE(IsolatedBlockTest(2, 3, 3, 8, 6, m.view));  // above the step below the dot
  EXPECT_TRUE(IsolatedBlockTest(3, 4, 1, 8, 6, m.view));  // below the step above the dot
  // The same block with one pixel changed is no dot.
  auto changed = dot;
  changed[3][3] = 'o';
  EXPECT_FALSE(IsolatedBlockTest(0, 4, 2, 8, 6, MapOf(changed).view));
  // A 2 x 3 block is no dot either.
  EXPECT_FALSE(IsolatedBlockTest(0, 4, 2, 8, 6,
                                 MapOf({"........", "........", "...##...", "...##...", "...##...", "........"}).view));
}

TEST(IsolatedBlock, BordersAreNeverADot) {
  const auto m = MapOf({"##..", "##..", "...."});
  // Direction 1 at the last column and 3 at the last row are false without reading the map.
  EXPECT_FALSE(IsolatedBlockTest(1, 3, 0, 4, 3, m.view));
  EXPECT_FALSE(IsolatedBlockTest(3, 0, 2, 4, 3, m.view));
  // A dot touching the top border: its block would lie in row -1 from below, and the edge at the
  // border is missing, so it fails.
  EXPECT_FALSE(IsolatedBlockTest(0, 1, 0, 4, 3, m.view));
}

}  // namespace
}  // namespace tessaline
