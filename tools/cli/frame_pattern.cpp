#include "frame_pattern.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli_error.h"
#include "frame_list.h"
#include "whole_number.h"

namespace tessaline::cli {

namespace {

namespace fs = std::filesystem;

struct Mark {
  std::size_t at = 0;
  std::size_t length = 0;
  int width = 0;
};

// The mark starting at name[i], if any; `error` is set for a mark written wrongly.
Mark MarkAt(const std::string& name, std::size_t i, std::string& error) {
  const char c = name[i];
  if (c == '#' || c == '@') {
    std::size_t end = i;
    while (end < name.size() && name[end] == c) ++end;
    return {i, end - i, static_cast<int>(end - i)};
  }
  if (c != '%') return {};
  std::size_t end = i + 1;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
  if (end == name.size() || name[end] != 'd') return {};
  const std::string digits = name.substr(i + 1, end - i - 1);
  if (digits.empty()) return {i, 2, 1};
  const auto width = ParseWhole<int>(digits, 1, 99);
  if (digits[0] != '0' || !width) {
    error = Quoted("%" + digits + "d") + " pads frame numbers with spaces; write " + Quoted("%0" + digits + "d") +
            " for zero-padded numbers";
    return {};
  }
  return {i, end + 1 - i, *width};
}

}  // namespace

std::string FramePattern::Path(int frame) const {
  if (!IsSequence()) return text;
  std::string digits = std::to_string(frame);
  if (digits.size() < static_cast<std::size_t>(width)) digits.insert(0, width - digits.size(), '0');
  return head + digits + tail;
}

std::string ParseFramePattern(const std::string& text, const std::string& what, FramePattern& pattern) {
  pattern = {text, text, "", 0};
  const std::size_t nameStart = text.rfind('/') == std::string::npos ? 0 : text.rfind('/') + 1;
  Mark found;
  for (std::size_t i = nameStart; i < text.size();) {
    std::string error;
    const Mark mark = MarkAt(text, i, error);
    if (!error.empty()) return what + " " + error;
    if (mark.length == 0) {
      ++i;
      continue;
    }
    if (found.length != 0) {
      return what + " " + Quoted(text) + " has two frame-number marks; keep one (e.g. shot.####.exr)";
    }
    found = mark;
    i += mark.length;
  }
  if (found.length == 0) return {};
  if (found.width > kMaxFrameWidth) {
    return what + " " + Quoted(text) + " pads frame numbers to " + std::to_string(found.width) + " digits; " +
           std::to_string(kMaxFrameWidth) + " is the most";
  }
  pattern.head = text.substr(0, found.at);
  pattern.tail = text.substr(found.at + found.length);
  pattern.width = found.width;
  return {};
}

std::vector<int> FindFrames(const FramePattern& pattern) {
  const fs::path head(pattern.head);
  const std::string prefix = head.has_filename() ? head.filename().string() : "";
  const fs::path folder = head.has_filename() ? head.parent_path() : head;
  const fs::path listed = folder.empty() ? fs::path(".") : folder;

  const FramePattern inFolder{"", prefix, pattern.tail, pattern.width};
  std::vector<int> frames;
  std::error_code ec;
  for (fs::directory_iterator it(listed, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + pattern.tail.size() || !name.starts_with(prefix) ||
        !name.ends_with(pattern.tail)) {
      continue;
    }
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - pattern.tail.size());
    const auto frame = ParseWhole<int>(digits, 0, kMaxFrame);
    if (frame && inFolder.Path(*frame) == name) frames.push_back(*frame);
  }
  if (ec) {
    throw CliError("cannot list the folder " + Quoted(listed.string()) + " of " + Quoted(pattern.text) + " (" +
                   ec.message() + "); check the INPUT name");
  }
  std::sort(frames.begin(), frames.end());
  return frames;
}

}  // namespace tessaline::cli
