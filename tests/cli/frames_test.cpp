// Frame patterns, frame lists, chunks and what the tool prints about them.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "cli_test_support.h"
#include "frame_list.h"
#include "frame_pattern.h"
#include "image_io.h"
#include "progress.h"

namespace tessaline::cli {
namespace {

// The frames first, first + 1, ..., last.
std::vector<int> Range(int first, int last) {
  std::vector<int> frames;
  for (int frame = first; frame <= last; ++frame) frames.push_back(frame);
  return frames;
}

TEST(FramePatternTest, MarksAreFoundInTheFileNameAndExpandToFrameNumbers) {
  const std::array<std::string, 3> cases[] = {  // the pattern, frames 7 and 12345
      {"shot.####.exr", "shot.0007.exr", "shot.12345.exr"},
      {"shot.%04d.exr", "shot.0007.exr", "shot.12345.exr"},
      {"sh/ot.@@@@.exr", "sh/ot.0007.exr", "sh/ot.12345.exr"},
      {"%d", "7", "12345"},
      {"take#2/#.png", "take#2/7.png", "take#2/12345.png"},
      {"x%010dy", "x0000000007y", "x0000012345y"},
      // No mark: one file, whatever the frame.
      {"plain.png", "plain.png", "plain.png"},
      {"@home/100%.png", "@home/100%.png", "@home/100%.png"},
  };
  for (const auto& [text, frame7, frame12345] : cases) {
    FramePattern pattern;
    ASSERT_EQ(ParseFramePattern(text, "INPUT", pattern), "") << text;
    EXPECT_EQ(std::tuple(pattern.text, pattern.Path(7), pattern.Path(12345)), std::tuple(text, frame7, frame12345));
  }
}

TEST(FramePatternTest, BadMarksAreRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"a.##.#.png", "OUTPUT 'a.##.#.png' has two frame-number marks; keep one (e.g. shot.####.exr)"},
      {"a.%04d.@.png", "OUTPUT 'a.%04d.@.png' has two frame-number marks; keep one (e.g. shot.####.exr)"},
      {"a.%4d.png", "OUTPUT '%4d' pads frame numbers with spaces; write '%04d' for zero-padded numbers"},
      {"a.###########.png", "OUTPUT 'a.###########.png' pads frame numbers to 11 digits; 10 is the most"},
      {"a.%012d.png", "OUTPUT 'a.%012d.png' pads frame numbers to 12 digits; 10 is the most"},
  };
  for (const auto& [text, error] : cases) {
    FramePattern pattern;
    EXPECT_EQ(ParseFramePattern(text, "OUTPUT", pattern), error);
  }
}

TEST(FramePatternTest, FindsTheFramesWhoseFilesThePatternWouldName) {
  const test::ScratchDir dir;
  for (const char* name : {"shot.0001.png", "shot.0002.png", "shot.0010.png", "shot.12345.png", "shot.1.png",
                           "shot.00001.png", "shot.abcd.png", "shot.-001.png", "other.0003.png", "shot.0004.png.tmp"}) {
    test::WriteFileBytes(dir / name, "");
  }
  const std::pair<std::string, std::vector<int>> cases[] = {
      {"shot.####.png", {1, 2, 10, 12345}},
      {"shot.%d.png", {1, 12345}},
      {"shot.#####.png", {1, 12345}},
      {"none.####.png", {}},
  };
  for (const auto& [name, frames] : cases) {
    FramePattern pattern;
    ASSERT_EQ(ParseFramePattern((dir / name).string(), "INPUT", pattern), "");
    EXPECT_EQ(FindFrames(pattern), frames) << name;
  }
  FramePattern absent;
  ASSERT_EQ(ParseFramePattern((dir / "no/shot.####.png").string(), "INPUT", absent), "");
  EXPECT_THROW(FindFrames(absent), CliError);
}

TEST(FrameListTest, ListsRangesAndStepsBecomeAscendingFrames) {
  const std::pair<std::string, std::vector<int>> cases[] = {
      {"1001", {1001}},
      {"1001-1005", Range(1001, 1005)},
      {"1001-1009x3", {1001, 1004, 1007}},
      {"1,5,9-12", {1, 5, 9, 10, 11, 12}},
      {"9-12,1,10", {1, 9, 10, 11, 12}},
      {"0-0", {0}},
      {"5-5x7", {5}},
      {"999999998-999999999x5", {999999998}},
      {"1-1000000", Range(1, 1000000)},  // the longest list taken
  };
  for (const auto& [text, frames] : cases) {
    std::vector<int> parsed;
    EXPECT_EQ(ParseFrameList(text, parsed), "") << text;
    EXPECT_EQ(parsed, frames) << text;
  }
  std::vector<std::pair<std::string, std::string>> errors = {
      {"1,,2", "--frames needs frame numbers such as 1001-1100, 1001-1100x2 or 1,5,9-12, not ''"},  // the item
      {"1-9x0", "--frames step in '1-9x0' must be 1 or more"},
      {"5-1", "--frames range '5-1' ends before it starts; write the smaller frame first"},
      {"0-1000000", "--frames '0-1000000' names more than 1000000 frames"},
      {"0,1-1000000", "--frames '1-1000000' names more than 1000000 frames"},
  };
  for (const char* text : {"", "a", "1-", "-5", "1-2x", "1x2", "1-2-3", "1000000000"}) {
    errors.emplace_back(text, "--frames needs frame numbers such as 1001-1100, 1001-1100x2 or 1,5,9-12, not '" +
                                  std::string(text) + "'");
  }
  for (const auto& [text, error] : errors) {
    std::vector<int> parsed;
    EXPECT_EQ(ParseFrameList(text, parsed), error) << text;
  }
}

TEST(FrameListTest, ChunksSplitTheListIntoNearEqualContiguousShares) {
  const std::pair<std::string, std::vector<int>> picked[] = {
      {"1/3", {0, 1, 2}}, {"2/3", {3, 4, 5}}, {"3/3", {6, 7, 8, 9}}, {"1/1", Range(0, 9)}, {"10/10", {9}},
  };
  for (const auto& [text, frames] : picked) {
    Chunk chunk;
    ASSERT_EQ(ParseChunk(text, chunk), "") << text;
    EXPECT_EQ(ChunkOf(Range(0, 9), chunk), frames) << text;
  }
  // Every split covers the list once, in order, with shares one frame apart at most.
  const std::pair<int, int> splits[] = {{10, 3}, {7, 7}, {3, 8}, {0, 4}, {100, 7}, {1, 1}};
  for (const auto& [size, count] : splits) {
    const std::vector<int> all = Range(1, size);
    std::vector<int> joined;
    std::size_t smallest = all.size(), largest = 0;
    for (int index = 1; index <= count; ++index) {
      const std::vector<int> share = ChunkOf(all, {index, count});
      joined.insert(joined.end(), share.begin(), share.end());
      smallest = std::min(smallest, share.size());
      largest = std::max(largest, share.size());
    }
    EXPECT_EQ(joined, all) << size << " in " << count;
    EXPECT_LE(largest - smallest, 1u) << size << " in " << count;
  }
  std::vector<std::pair<std::string, std::string>> errors = {
      {"0/3", "--chunk '0/3' asks for share 0 of 3; K runs from 1 to N"},
      {"4/3", "--chunk '4/3' asks for share 4 of 3; K runs from 1 to N"},
  };
  for (const char* text : {"3", "1/0", "a/b", "1/3/4", "-1/3"}) {
    errors.emplace_back(text, "--chunk needs K/N, the K-th of N equal shares of the frames (e.g. 3/10), not '" +
                                  std::string(text) + "'");
  }
  for (const auto& [text, error] : errors) {
    Chunk chunk;
    EXPECT_EQ(ParseChunk(text, chunk), error) << text;
  }
}

TEST(FrameListTest, DescriptionsJoinRunsAndCountWhatTheyLeaveOut) {
  EXPECT_EQ(DescribeFrames({1003, 1005, 1006, 1007}), "1003, 1005-1007");
  EXPECT_EQ(DescribeFrames({1, 3, 5, 6, 9}, 2), "1, 3, and 3 more");
  EXPECT_EQ(DescribeFrames({}), "");
}

TEST(ProgressTest, BarAndSummarySayHowFarAndHowFast) {
  FrameCounts counts{.total = 48, .rendered = 12};
  EXPECT_EQ(ProgressLine(counts, 4.0), "[######------------------]  12/48 frames  3.0 frames/s  12.0 s left");
  counts.skipped = 24;  // found done: the rate and the time left count smoothed frames only
  EXPECT_EQ(ProgressLine(counts, 4.0), "[##################------]  36/48 frames  3.0 frames/s  4.0 s left");
  EXPECT_EQ(ProgressLine({.total = 3}, 0.0), "[------------------------]  0/3 frames");

  const std::pair<FrameCounts, std::string> summaries[] = {
      {{.total = 1, .rendered = 1, .edgePixels = 1}, "tessaline: 1 frame smoothed in 0.3 s, 1 edge pixel"},
      {{.total = 51, .rendered = 48, .skipped = 2, .failed = 1, .missing = 3, .edgePixels = 1234},
       "tessaline: 48 frames smoothed in 0.3 s (160.0 frames/s), 1234 edge pixels; 2 already done, 3 missing, "
       "1 failed"},
      {{.total = 2, .rendered = 2, .edgePixelsKnown = false}, "tessaline: 2 frames smoothed in 0.3 s (6.7 frames/s)"},
  };
  for (const auto& [c, line] : summaries) EXPECT_EQ(SummaryLine(c, 0.3), line);
  EXPECT_EQ(SummaryLine({}, 3725.0), "tessaline: 0 frames smoothed in 1:02:05, 0 edge pixels");
}

}  // namespace
}  // namespace tessaline::cli
