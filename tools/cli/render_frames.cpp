#include "render_frames.h"

#include <OpenImageIO/imageio.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <new>
#include <thread>

#include "image_io.h"
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

class FrameWorkers {
 public:
  FrameWorkers(const Options& options, const std::vector<int>& frames, Progress& progress)
      : options_(options), frames_(frames), progress_(progress) {}

  // Runs on each worker thread until no frame is left or the run stops.
  void Work() {
    while (!stop_) {
      const std::size_t next = next_++;
      if (next >= frames_.size()) return;
      RenderFrame(frames_[next]);
    }
  }

 private:
  // Reports a failure unless the run has already stopped for another (then the same cause is likely).
  void Fail(int frame, const std::string& what, bool stopRun) {
    if (!stop_) progress_.Error((options_.input.IsSequence() ? "frame " + std::to_string(frame) + ": " : "") + what);
    progress_.Failed();
    if (stopRun) stop_ = true;
  }

  void RenderFrame(int frame) {
    const std::string input = options_.input.Path(frame);
    const std::string output = options_.output.Path(frame);
    const std::string edges = options_.edges ? options_.edges->Path(frame) : "";
    if (options_.skipExisting && ReadsBack(output) && (edges.empty() || ReadsBack(edges))) {
      progress_.Skipped();
      return;
    }
    Image in;
    try {
      in = ReadImage(input, {options_.part});
    } catch (const std::bad_alloc&) {
      return Fail(frame, "not enough memory to read '" + input + "'; try fewer --threads", true);
    } catch (const std::exception& e) {
      return Fail(frame, e.what(), options_.strict);
    }
    try {
      WarnOnceWithoutAlpha(in, input, output);
      std::optional<std::int64_t> edgePixels;
      const Image out = options_.viaPlugin ? RenderThroughPlugin(in, options_.params, options_.mode, FindPluginFiles())
                                           : RenderImage(in, options_.params, options_.mode, &edgePixels.emplace());
      WriteImage(out, output);
      if (!edges.empty()) WriteEdges(in, options_.params, options_.mode, edges);
      progress_.Rendered(edgePixels);
    } catch (const std::bad_alloc&) {
      Fail(frame, "not enough memory to smooth '" + input + "'; try fewer --threads", true);
    } catch (const std::exception& e) {
      Fail(frame, e.what(), true);
    }
  }

  // A key makes pixels transparent, which a file without alpha cannot keep; a shot says so once.
  void WarnOnceWithoutAlpha(const Image& in, const std::string& input, const std::string& output) {
    if (options_.mode == SourceMode::Plain || in.HasAlpha() || warnedAlpha_.exchange(true)) return;
    progress_.Warning("'" + input + "' has no alpha channel, so the transparency made by --key-color cannot be " +
                      "stored in '" + output + "'; use " +
                      (options_.input.IsSequence() ? "images with alpha to keep it (said once for the shot)"
                                                   : "an image with alpha to keep it"));
  }

  const Options& options_;
  const std::vector<int>& frames_;
  Progress& progress_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> stop_{false};
  std::atomic<bool> warnedAlpha_{false};
};

}  // namespace

int DefaultThreads() {
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) return std::max(1, CPU_COUNT(&cpus));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void RenderFrames(const Options& options, const std::vector<int>& frames, Progress& progress) {
  if (frames.empty()) return;
  const int threads = options.threads > 0 ? options.threads : DefaultThreads();
  const int workers = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), frames.size()));
  // The cores not busy with a frame of their own go to the file libraries' own threads (OpenEXR
  // decodes one file on several), so that --threads N keeps to N cores.
  OIIO::attribute("threads", std::max(1, threads / workers));
  OIIO::attribute("exr_threads", std::max(1, threads / workers));

  FrameWorkers pool(options, frames, progress);
  std::vector<std::jthread> helpers;
  for (int i = 1; i < workers; ++i) helpers.emplace_back([&pool] { pool.Work(); });
  pool.Work();
}

}  // namespace tessaline::cli
