// What the tool says while it works: a progress bar on a terminal, warnings and errors printed
// above it, and the closing summary. Every worker thread may call it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

namespace tessaline::cli {

struct FrameCounts {
  std::size_t total = 0;     // frames to do, missing ones not counted
  std::size_t rendered = 0;  // smoothed and written
  std::size_t skipped = 0;   // already done (--skip-existing)
  std::size_t failed = 0;
  std::size_t missing = 0;  // named by --frames, without an input file
  std::int64_t edgePixels = 0;
  bool edgePixelsKnown = true;  // false once a frame came from the plug-in, whose map stays inside it

  std::size_t Done() const { return rendered + skipped + failed; }
};

// "[######------]  12/48 frames  3.1 frames/s  0:11 left": the rate counts smoothed frames only,
// since frames found already done take no time.
std::string ProgressLine(const FrameCounts& counts, double seconds);

// "tessaline: 48 frames smoothed in 12.3 s (3.9 frames/s), 1234567 edge pixels; 2 failed".
std::string SummaryLine(const FrameCounts& counts, double seconds);

class Progress {
 public:
  // `terminal`: err is a terminal, so a bar redrawn in place makes sense. `quiet`: errors only.
  Progress(std::ostream& err, bool terminal, bool quiet, std::size_t total, std::size_t missing);

  void Warning(const std::string& text);  // printed as "tessaline: warning: <text>"
  void Error(const std::string& text);    // printed as "tessaline: <text>"
  void Rendered(std::optional<std::int64_t> edgePixels);
  void Skipped();
  void Failed();
  // Clears the bar and prints the summary.
  void Finish();
  FrameCounts Counts() const;

 private:
  void Print(const std::string& line);  // the mutex held
  void Update();                        // the mutex held

  std::ostream& err_;
  const bool bar_;
  const bool quiet_;
  mutable std::mutex mutex_;
  FrameCounts counts_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point drawn_{};
  bool barShown_ = false;
};

}  // namespace tessaline::cli
