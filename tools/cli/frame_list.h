// Frame numbers: the list --frames names, the share of it --chunk hands to one machine, and lists
// written back for people ("1003, 1005-1007").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline::cli {

// Frame numbers run from 0 to this; nine digits keep every sum of two within an int.
constexpr int kMaxFrame = 999'999'999;
// A list longer than this is a typing mistake, not a shot.
constexpr std::size_t kMaxFrameCount = 1'000'000;

// Parses --frames: comma-separated frames ("1001"), ranges ("1001-1100") and ranges with a step
// ("1001-1100x2"), into ascending frame numbers, each once. Returns "" or what is wrong.
std::string ParseFrameList(std::string_view text, std::vector<int>& frames);

// The index-th (from 1) of `count` near-equal contiguous chunks of a frame list.
struct Chunk {
  int index = 1;
  int count = 1;
};

// Parses --chunk "K/N". Returns "" or what is wrong.
std::string ParseChunk(std::string_view text, Chunk& chunk);

// Chunk K of N holds list positions [(K-1)*size/N, K*size/N): sizes differ by one at most, and a
// chunk may be empty when N exceeds the list.
std::vector<int> ChunkOf(const std::vector<int>& frames, Chunk chunk);

// Ascending frames written with runs as ranges, "1003, 1005-1007"; after `most` items the rest
// is counted ("..., and 40 more").
std::string DescribeFrames(const std::vector<int>& frames, std::size_t most = 12);

}  // namespace tessaline::cli
