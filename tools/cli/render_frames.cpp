#include "render_frames.h"

#include <OpenImageIO/imageio.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <thread>

#include "image_io.h"
#include "ofx_render.h"
#include "plugin_render.h"
#include "tool.h"

namespace tessaline::cli {

namespace {

// Whether `path` holds a whole image: outputs are written atomically, so an existing one is
// complete unless something else wrote it; reading it all settles that.
bool ReadsBack(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return false;
  try {
    ReadImage(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Bytes of memory a frame in flight takes for each of its pixels at most: an RGBA float frame read,
// smoothed and written (the file's samples, the engine's input and output, the edge map, the
// samples written and read back) measured 126.
constexpr std::uint64_t kBytesPerPixel = 128;

// The memory this process may use: the machine's, or less where a control group sets a limit.
std::uint64_t UsableMemory() {
  std::uint64_t memory = static_cast<std::uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  std::ifstream limitFile("/sys/fs/cgroup/memory.max");
  std::uint64_t limit = 0;
  if (limitFile >> limit && limit > 0 && limit < memory) memory = limit;
  return memory;
}

class FrameWorkers {
 public:
  FrameWorkers(const Options& options, const std::vector<int>& frames, Progress& progress, int workers,
               std::uint64_t maxPixels)
      : options_(options), frames_(frames), progress_(progress), workers_(workers), maxPixels_(maxPixels) {}

  // Runs on each worker thread until no frame is left or the run stops. With --via-plugin the
  // worker renders all its frames through one session of the plug-in's host, ended at the end.
  void Work() {
    std::optional<PluginSession> session;
    if (options_.viaPlugin) session.emplace(FindPluginFiles());
    while (!stop_) {
      const std::size_t next = next_++;
      if (next >= frames_.size()) break;
      RenderFrame(frames_[next], session ? &*session : nullptr);
    }
    if (!session) return;
    try {
      session->Finish();
    } catch (const std::exception& e) {
      progress_.Error(e.what());
      sessionsFailed_ = true;
    }
  }

  // Whether every session of the plug-in's host ended well, its accounts balanced.
  bool SessionsEndedWell() const { return !sessionsFailed_; }

 private:
  // Reports a failure unless the run has already stopped for another (then the same cause is likely).
  void Fail(int frame, const std::string& what, bool stopRun) {
    if (!stop_) progress_.Error((options_.input.IsSequence() ? "frame " + std::to_string(frame) + ": " : "") + what);
    progress_.Failed();
    if (stopRun) stop_ = true;
  }

  void RenderFrame(int frame, PluginSession* session) {
    const std::string input = options_.input.Path(frame);
    const std::string output = options_.output.Path(frame);
    const std::string edges = options_.edges ? options_.edges->Path(frame) : "";
    if (options_.skipExisting && ReadsBack(output) && (edges.empty() || ReadsBack(edges))) {
      progress_.Skipped();
      return;
    }
    // The host starts (under Wine, slowly) while the frame is read.
    if (session != nullptr) {
      try {
        session->Start();
      } catch (const std::exception& e) {
        return Fail(frame, e.what(), true);
      }
    }
    std::vector<Image> in;
    const std::string fewerThreads = workers_ > 1 ? "; try fewer --threads" : "";
    try {
      in = ReadImages(input, {options_.part, options_.allParts, maxPixels_});
    } catch (const std::bad_alloc&) {
      return Fail(frame, "not enough memory to read '" + input + "'" + fewerThreads, true);
    } catch (const std::exception& e) {
      return Fail(frame, e.what(), options_.strict);
    }
    try {
      std::vector<Image> out;
      std::optional<std::int64_t> edgePixels;
      if (!options_.viaPlugin && !options_.viaOfx) edgePixels = 0;
      for (const Image& image : in) {
        std::int64_t found = 0;
        if (options_.viaPlugin) {
          out.push_back(session->Render(image, options_.params, options_.mode));
        } else if (options_.viaOfx) {
          out.push_back(RenderThroughOfx(image, options_.params, options_.mode, FindOfxBundle()));
        } else {
          out.push_back(RenderImage(image, options_.params, options_.mode, &found));
        }
        if (edgePixels) *edgePixels += found;
      }
      // The key makes pixels transparent: a file read without alpha gets one to keep them.
      WriteImages(out, output, options_.mode != SourceMode::Plain);
      if (!edges.empty()) WriteEdges(in.front(), options_.params, options_.mode, edges);
      progress_.Rendered(edgePixels);
    } catch (const std::bad_alloc&) {
      Fail(frame, "not enough memory to smooth '" + input + "'" + fewerThreads, true);
    } catch (const PluginFrameError& e) {
      Fail(frame, e.what(), false);  // the plug-in's verdict on this frame alone
    } catch (const std::exception& e) {
      Fail(frame, e.what(), true);
    }
  }

  const Options& options_;
  const std::vector<int>& frames_;
  Progress& progress_;
  const int workers_;
  const std::uint64_t maxPixels_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> sessionsFailed_{false};
};

}  // namespace

int DefaultThreads() {
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) return std::max(1, CPU_COUNT(&cpus));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

bool RenderFrames(const Options& options, const std::vector<int>& frames, Progress& progress) {
  if (frames.empty()) return true;
  const int threads = options.threads > 0 ? options.threads : DefaultThreads();
  const int workers = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), frames.size()));
  // The cores not busy with a frame of their own go to the file libraries' own threads (OpenEXR
  // decodes one file on several), so that --threads N keeps to N cores.
  OIIO::attribute("threads", std::max(1, threads / workers));
  OIIO::attribute("exr_threads", std::max(1, threads / workers));
  // A file that declares more pixels than memory holds for every frame in flight is refused before
  // anything is allocated for it. The library's own readers that check sizes at opening get the
  // same limit in their terms, with room for many channels.
  const std::uint64_t maxPixels = options.maxPixels != 0 ? options.maxPixels
                                                         : std::max<std::uint64_t>(1, UsableMemory() / kBytesPerPixel /
                                                                                          static_cast<std::uint64_t>(workers));
  OIIO::attribute("limits:imagesize_MB",
                  static_cast<int>(std::min<std::uint64_t>(std::max<std::uint64_t>(1, maxPixels * 64 >> 20), 1 << 30)));

  FrameWorkers pool(options, frames, progress, workers, maxPixels);
  {
    std::vector<std::jthread> helpers;
    for (int i = 1; i < workers; ++i) helpers.emplace_back([&pool] { pool.Work(); });
    pool.Work();
  }
  return pool.SessionsEndedWell();
}

}  // namespace tessaline::cli
