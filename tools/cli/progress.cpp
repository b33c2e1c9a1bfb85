#include "progress.h"

#include <cmath>
#include <cstdio>

namespace tessaline::cli {

namespace {

constexpr int kBarCells = 24;
// A terminal redrawn more often than this only flickers.
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr char kClearLine[] = "\r\033[K";

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Fixed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// "12.3 s" under a minute, then "4:05" and "1:02:03".
std::string Duration(double seconds) {
  if (seconds < 60) return Fixed(seconds) + " s";
  const auto whole = static_cast<long long>(std::llround(seconds));
  char text[32];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  }
  return text;
}

}  // namespace

std::string ProgressLine(const FrameCounts& counts, double seconds) {
  const std::size_t done = counts.Done();
  const std::size_t filled = counts.total == 0 ? kBarCells : done * kBarCells / counts.total;
  std::string line(1, '[');
  line.append(filled, '#').append(kBarCells - filled, '-');
  line += "]  " + std::to_string(done) + "/" + std::to_string(counts.total) + " frames";
  if (counts.rendered == 0 || seconds <= 0) return line;
  const double rate = static_cast<double>(counts.rendered) / seconds;
  return line + "  " + Fixed(rate) + " frames/s  " + Duration(static_cast<double>(counts.total - done) / rate) +
         " left";
}

std::string SummaryLine(const FrameCounts& counts, double seconds) {
  std::string line = "tessaline: " + Plural(counts.rendered, "frame", "frames") + " smoothed in " + Duration(seconds);
  if (counts.rendered > 1 && seconds > 0) {
    line += " (" + Fixed(static_cast<double>(counts.rendered) / seconds) + " frames/s)";
  }
  if (counts.edgePixelsKnown) {
    line += ", " + Plural(static_cast<std::size_t>(counts.edgePixels), "edge pixel", "edge pixels");
  }
  std::string extra;
  for (const auto& [n, what] : {std::pair{counts.skipped, " already done"}, std::pair{counts.missing, " missing"},
                                std::pair{counts.failed, " failed"}}) {
    if (n != 0) extra += (extra.empty() ? "; " : ", ") + std::to_string(n) + what;
  }
  return line + extra;
}

Progress::Progress(std::ostream& err, bool terminal, bool quiet, std::size_t total, std::size_t missing)
    : err_(err), bar_(terminal && !quiet), quiet_(quiet) {
  counts_.total = total;
  counts_.missing = missing;
  const std::lock_guard lock(mutex_);
  Update();  // the bar stands from the start, before the first frame is done
}

void Progress::Print(const std::string& line) {
  if (barShown_) err_ << kClearLine;
  err_ << line << '\n';
  barShown_ = false;
  drawn_ = {};  // the bar comes back at the next update
}

void Progress::Update() {
  if (!bar_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - drawn_ < kRedrawEvery && counts_.Done() != counts_.total) return;
  drawn_ = now;
  err_ << kClearLine << ProgressLine(counts_, std::chrono::duration<double>(now - start_).count()) << std::flush;
  barShown_ = true;
}

void Progress::Warning(const std::string& text) {
  const std::lock_guard lock(mutex_);
  if (!quiet_) Print("tessaline: warning: " + text);
}

void Progress::Error(const std::string& text) {
  const std::lock_guard lock(mutex_);
  Print("tessaline: " + text);
}

void Progress::Rendered(std::optional<std::int64_t> edgePixels) {
  const std::lock_guard lock(mutex_);
  ++counts_.rendered;
  counts_.edgePixels += edgePixels.value_or(0);
  counts_.edgePixelsKnown = counts_.edgePixelsKnown && edgePixels.has_value();
  Update();
}

void Progress::Skipped() {
  const std::lock_guard lock(mutex_);
  ++counts_.skipped;
  Update();
}

void Progress::Failed() {
  const std::lock_guard lock(mutex_);
  ++counts_.failed;
  Update();
}

void Progress::Finish() {
  const std::lock_guard lock(mutex_);
  if (quiet_) return;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  Print(SummaryLine(counts_, seconds));
}

FrameCounts Progress::Counts() const {
  const std::lock_guard lock(mutex_);
  return counts_;
}

}  // namespace tessaline::cli
