#include "frame_list.h"

#include <algorithm>

#include "cli_error.h"
#include "whole_number.h"

namespace tessaline::cli {

namespace {

constexpr char kFramesForm[] = "--frames needs frame numbers such as 1001-1100, 1001-1100x2 or 1,5,9-12";

// One item of the list: "A", "A-B" or "A-BxS".
std::string ParseItem(std::string_view item, std::vector<int>& frames) {
  const std::string shown = Quoted(std::string(item));
  const std::size_t dash = item.find('-');
  const std::size_t times = item.find('x', dash == std::string_view::npos ? 0 : dash);
  const auto first = ParseWhole<int>(item.substr(0, dash), 0, kMaxFrame);
  if (dash == std::string_view::npos) {
    if (!first) return std::string(kFramesForm) + ", not " + shown;
    frames.push_back(*first);
    return {};
  }
  const auto last =
      ParseWhole<int>(item.substr(dash + 1, times == std::string_view::npos ? times : times - dash - 1), 0, kMaxFrame);
  const auto step =
      times == std::string_view::npos ? std::optional<int>(1) : ParseWhole<int>(item.substr(times + 1), 0, kMaxFrame);
  if (!first || !last || !step) return std::string(kFramesForm) + ", not " + shown;
  if (*last < *first) {
    return "--frames range " + shown + " ends before it starts; write the smaller frame first";
  }
  if (*step == 0) return "--frames step in " + shown + " must be 1 or more";
  if (static_cast<std::size_t>((*last - *first) / *step) >= kMaxFrameCount - frames.size()) {
    return "--frames " + shown + " names more than " + std::to_string(kMaxFrameCount) + " frames";
  }
  for (int frame = *first; frame <= *last; frame += *step) frames.push_back(frame);
  return {};
}

}  // namespace

std::string ParseFrameList(std::string_view text, std::vector<int>& frames) {
  frames.clear();
  for (;;) {
    const std::size_t comma = text.find(',');
    if (std::string error = ParseItem(text.substr(0, comma), frames); !error.empty()) return error;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return {};
}

std::string ParseChunk(std::string_view text, Chunk& chunk) {
  const std::size_t slash = text.find('/');
  const auto index = ParseWhole<int>(text.substr(0, slash), 0, kMaxFrame);
  const auto count =
      slash == std::string_view::npos ? std::nullopt : ParseWhole<int>(text.substr(slash + 1), 1, kMaxFrame);
  if (!index || !count) {
    return "--chunk needs K/N, the K-th of N equal shares of the frames (e.g. 3/10), not " + Quoted(std::string(text));
  }
  if (*index < 1 || *index > *count) {
    return "--chunk " + Quoted(std::string(text)) + " asks for share " + std::to_string(*index) + " of " +
           std::to_string(*count) + "; K runs from 1 to N";
  }
  chunk = {*index, *count};
  return {};
}

std::vector<int> ChunkOf(const std::vector<int>& frames, Chunk chunk) {
  const auto size = static_cast<long long>(frames.size());
  const auto begin = static_cast<std::ptrdiff_t>((chunk.index - 1) * size / chunk.count);
  const auto end = static_cast<std::ptrdiff_t>(chunk.index * size / chunk.count);
  return {frames.begin() + begin, frames.begin() + end};
}

std::string DescribeFrames(const std::vector<int>& frames, std::size_t most) {
  std::string text;
  std::size_t items = 0;
  for (std::size_t i = 0; i < frames.size();) {
    std::size_t j = i;
    while (j + 1 < frames.size() && frames[j + 1] == frames[j] + 1) ++j;
    if (items == most) return text + ", and " + std::to_string(frames.size() - i) + " more";
    text += (text.empty() ? "" : ", ") + std::to_string(frames[i]);
    if (j > i) text.append(1, '-').append(std::to_string(frames[j]));
    ++items;
    i = j + 1;
  }
  return text;
}

}  // namespace tessaline::cli
