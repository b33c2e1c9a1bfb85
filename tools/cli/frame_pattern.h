// File names with a frame number in them: "shot.####.exr", "shot.%04d.exr" or "shot.@@@@.exr"
// stand for shot.0001.exr, shot.0002.exr, ...; a name without such a mark is one file.
#pragma once

#include <string>
#include <vector>

namespace tessaline::cli {

struct FramePattern {
  std::string text;  // as the user wrote it
  std::string head;  // what comes before the frame number
  std::string tail;  // what comes after it
  int width = 0;     // digits of the zero-padded frame number; 0 for a single file

  bool IsSequence() const { return width > 0; }
  // The file of `frame`; a single file is itself whatever the frame. A number wider than the
  // pattern keeps all its digits (10000 for ####).
  std::string Path(int frame) const;
  bool SameFilesAs(const FramePattern& other) const {
    return head == other.head && tail == other.tail && width == other.width;
  }
};

// The widest frame-number mark taken: ten digits hold every frame number.
constexpr int kMaxFrameWidth = 10;

// Finds the frame-number mark in the file-name part of `text` (folders may hold '#' or '@'): a run
// of '#' or of '@' (its length is the width), "%0Nd" (width N) or "%d" (no padding). Returns "" or
// what is wrong, naming `what` ("INPUT", "--edges", ...).
std::string ParseFramePattern(const std::string& text, const std::string& what, FramePattern& pattern);

// The frames whose files exist, ascending: the names in the pattern's folder that the pattern
// writes exactly (so shot.1.exr is not frame 1 of shot.####.exr). Throws CliError when the folder
// cannot be listed.
std::vector<int> FindFrames(const FramePattern& pattern);

}  // namespace tessaline::cli
