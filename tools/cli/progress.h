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
  std::size_t NotAttempted() const { return total - Done(); }
};

// "[######------]  12/48 frames  3.1 frames/s  0:11 left": the rate counts smoothed frames only,
// since frames found already done take no time.
std::string ProgressLine(const FrameCounts& counts, double seconds);

// "tessaline: 48 frames smoothed in 12.3 s (3.9 frames/s), 1234567 edge pixels; 2 failed"; after
// failures, or frames never tried, also what is left and `resume`, the command that does it:
// "...; 1 failed, 6 not attempted; to resume: tessaline a.####.exr b.####.exr --skip-existing".
std::string SummaryLine(const FrameCounts& counts, double seconds, const std::string& resume = "");

class Progress {
 public:
  // `terminal`: err is a terminal, so a bar redrawn in place makes sense. `quiet`: errors only.
  // `resume`: the command that resumes the run, for the closing line of a run that did not finish.
  // While it lives, an interrupt (InstallInterruptCleanup) ends with the same closing line.
  Progress(std::ostream& err, bool terminal, bool quiet, std::size_t total, std::size_t missing,
           std::string resume = "");
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Warning(const std::string& text);  // printed as "tessaline: warning: <text>"
  void Error(const std::string& text);    // printed as "tessaline: <text>"
  void Rendered(std::optional<std::int64_t> edgePixels);
  void Skipped();
  void Failed();
  // Clears the bar and prints the summary; with --quiet only when the run did not finish (a
  // failure, or frames never tried), which is news a quiet run must still give.
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
  const std::string resume_;
};

// Writes the closing line of the live Progress for a run cut short by a signal, with write(2) alone:
// "tessaline: interrupted: 3 frames smoothed, 0 failed, 45 not finished; to resume: ..." (the frames
// in flight count as not finished). Nothing
// without a live Progress. Safe in a signal handler.
void WriteInterruptedLine() noexcept;

}  // namespace tessaline::cli
