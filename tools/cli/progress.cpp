#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cli_error.h"

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

std::string SummaryLine(const FrameCounts& counts, double seconds, const std::string& resume) {
  std::string line = "tessaline: " + Plural(counts.rendered, "frame", "frames") + " smoothed in " + Duration(seconds);
  if (counts.rendered > 1 && seconds > 0) {
    line += " (" + Fixed(static_cast<double>(counts.rendered) / seconds) + " frames/s)";
  }
  if (counts.edgePixelsKnown) {
    line += ", " + Plural(static_cast<std::size_t>(counts.edgePixels), "edge pixel", "edge pixels");
  }
  std::string extra;
  for (const auto& [n, what] : {std::pair{counts.skipped, " already done"}, std::pair{counts.missing, " missing"},
                                std::pair{counts.failed, " failed"}, std::pair{counts.NotAttempted(), " not attempted"}}) {
    if (n != 0) extra += (extra.empty() ? "; " : ", ") + std::to_string(n) + what;
  }
  if ((counts.failed != 0 || counts.NotAttempted() != 0) && !resume.empty()) extra += "; to resume: " + resume;
  return line + extra;
}

namespace {

// The live Progress's counts and closing words, where a signal handler can reach them: plain
// atomics and a fixed buffer that is filled before the handler can need it.
struct InterruptTally {
  std::atomic<bool> live{false};
  std::atomic<bool> bar{false};
  std::atomic<std::size_t> total{0}, rendered{0}, failed{0}, skipped{0};
  char resume[8192] = "";
};
InterruptTally g_tally;

void Publish(const FrameCounts& counts) {
  g_tally.total.store(counts.total);
  g_tally.rendered.store(counts.rendered);
  g_tally.failed.store(counts.failed);
  g_tally.skipped.store(counts.skipped);
}

}  // namespace

void WriteInterruptedLine() noexcept {
  if (!g_tally.live.load()) return;
  char line[8400];
  std::size_t at = 0;
  const auto put = [&](const char* text) {
    for (; *text != 0 && at < sizeof line - 1; ++text) line[at++] = *text;
  };
  const auto number = [&](std::size_t n) {
    char digits[24];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    while (count > 0 && at < sizeof line - 1) line[at++] = digits[--count];
  };
  const std::size_t rendered = g_tally.rendered.load(), failed = g_tally.failed.load(),
                    done = rendered + failed + g_tally.skipped.load(), total = g_tally.total.load();
  if (g_tally.bar.load()) put(kClearLine);
  put("tessaline: interrupted: ");
  number(rendered);
  put(rendered == 1 ? " frame smoothed, " : " frames smoothed, ");
  number(failed);
  put(" failed, ");
  number(total > done ? total - done : 0);
  put(" not finished");
  if (g_tally.resume[0] != 0) {
    put("; to resume: ");
    put(g_tally.resume);
  }
  put("\n");
  for (std::size_t written = 0; written < at;) {
    const ssize_t n = write(STDERR_FILENO, line + written, at - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
}

Progress::Progress(std::ostream& err, bool terminal, bool quiet, std::size_t total, std::size_t missing,
                   std::string resume)
    : err_(err), bar_(terminal && !quiet), quiet_(quiet), resume_(TerminalSafe(resume)) {
  counts_.total = total;
  counts_.missing = missing;
  g_tally.live.store(false);
  const std::size_t length = std::min(resume_.size(), sizeof g_tally.resume - 1);
  std::memcpy(g_tally.resume, resume_.data(), length);
  g_tally.resume[length] = 0;
  g_tally.bar.store(bar_);
  Publish(counts_);
  g_tally.live.store(true);
  const std::lock_guard lock(mutex_);
  Update();  // the bar stands from the start, before the first frame is done
}

Progress::~Progress() { g_tally.live.store(false); }

void Progress::Print(const std::string& line) {
  if (barShown_) err_ << kClearLine;
  err_ << TerminalSafe(line) << '\n';
  barShown_ = false;
  drawn_ = {};  // the bar comes back at the next update
}

void Progress::Update() {
  Publish(counts_);
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
  if (quiet_ && counts_.failed == 0 && counts_.NotAttempted() == 0) return;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  Print(SummaryLine(counts_, seconds, resume_));
}

FrameCounts Progress::Counts() const {
  const std::lock_guard lock(mutex_);
  return counts_;
}

}  // namespace tessaline::cli
