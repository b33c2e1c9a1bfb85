#include "render_session.h"

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <tuple>

#include "ofxhost/frame_stream.h"

namespace ofxhost::program {
namespace {

struct Job {
  std::size_t frame;
  std::optional<OfxRectI> window;  // none: the whole output
  RenderResult result;
  std::string error;
};

bool Empty(const OfxRectI& r) { return r.x2 <= r.x1 || r.y2 <= r.y1; }

// The window of a request, cut into `tiles` strips of whole rows.
std::vector<std::optional<OfxRectI>> Tiles(const stream::Request& request, int tiles) {
  if (tiles == 1) return {Empty(request.window) ? std::nullopt : std::optional<OfxRectI>(request.window)};
  const OfxRectI w = Empty(request.window) ? request.source.bounds : request.window;
  std::vector<std::optional<OfxRectI>> strips;
  const int rows = w.y2 - w.y1;
  for (int t = 0; t < tiles; ++t) {
    const OfxRectI strip{w.x1, w.y1 + rows * t / tiles, w.x2, w.y1 + rows * (t + 1) / tiles};
    if (!Empty(strip)) strips.push_back(strip);
  }
  return strips;
}

// One reply from the windows rendered for a request.
stream::Reply Assemble(const std::vector<Job*>& jobs) {
  stream::Reply reply;
  for (const Job* job : jobs) {
    if (!job->error.empty()) {
      reply.status = stream::kFailed;
      reply.text = job->error;
      return reply;
    }
  }
  if (jobs.size() == 1) {
    reply.status = jobs[0]->result.identity ? stream::kIdentity : stream::kRendered;
    reply.output = jobs[0]->result.output;
    return reply;
  }
  const Frame& first = jobs.front()->result.output;
  OfxRectI bounds = first.bounds;
  bool identity = true;
  for (const Job* job : jobs) {
    const OfxRectI& b = job->result.output.bounds;
    bounds = {std::min(bounds.x1, b.x1), std::min(bounds.y1, b.y1), std::max(bounds.x2, b.x2), std::max(bounds.y2, b.y2)};
    identity = identity && job->result.identity;
  }
  reply.status = identity ? stream::kIdentity : stream::kRendered;
  reply.output = Frame(first.depth, first.channels, first.storage, bounds);
  for (const Job* job : jobs) {
    const Frame& part = job->result.output;
    for (int y = part.bounds.y1; y < part.bounds.y2; ++y) {
      std::memcpy(reply.output.Pixel(part.bounds.x1, y), part.Pixel(part.bounds.x1, y), part.RowBytes());
    }
  }
  return reply;
}

class Session {
 public:
  Session(const ProgramOptions& options, Host& host, const WriteBytes& write)
      : options_(options), host_(host), write_(write) {}

  Instance& InstanceFor(const Frame& frame) {
    const auto key = std::make_tuple(frame.depth, frame.channels, frame.storage);
    auto& instance = instances_[key];
    if (instance == nullptr) instance = host_.CreateInstance({frame.depth, frame.channels, frame.storage});
    return *instance;
  }

  // Adds a frame; renders what is pending first when the frame changes parameters, or when as
  // many frames are pending as render at once.
  bool Add(stream::Request request) {
    if (!request.params.empty() && !pending_.empty() && !Flush()) return false;
    Instance& instance = InstanceFor(request.source);
    for (const auto& [name, values] : request.params) instance.SetParam(name, values);
    pending_.push_back(std::move(request));
    return pending_.size() < static_cast<std::size_t>(options_.threads) || Flush();
  }

  bool Flush() {
    std::vector<Job> jobs;
    for (std::size_t f = 0; f < pending_.size(); ++f) {
      for (const auto& window : Tiles(pending_[f], options_.tiles)) jobs.push_back({f, window, {}, {}});
    }
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
      for (std::size_t i; (i = next++) < jobs.size();) {
        Job& job = jobs[i];
        const stream::Request& request = pending_[job.frame];
        try {
          job.result = InstanceFor(request.source).Render(request.source, static_cast<OfxTime>(first_ + job.frame), job.window);
        } catch (const std::exception& e) {
          job.error = e.what();
        }
      }
    };
    // Instances are made here, before the threads start, so that the map is only read by them.
    for (const stream::Request& request : pending_) InstanceFor(request.source);
    std::vector<std::thread> threads;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(options_.threads), jobs.size());
    for (std::size_t t = 1; t < count; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    bool written = true;
    for (std::size_t f = 0; f < pending_.size() && written; ++f) {
      std::vector<Job*> mine;
      for (Job& job : jobs) {
        if (job.frame == f) mine.push_back(&job);
      }
      const std::string bytes = stream::EncodeReply(Assemble(mine));
      written = write_(bytes.data(), bytes.size());
    }
    first_ += pending_.size();
    pending_.clear();
    return written;
  }

  void Close() { instances_.clear(); }

 private:
  const ProgramOptions& options_;
  Host& host_;
  const WriteBytes& write_;
  std::map<std::tuple<BitDepth, int, Storage>, std::unique_ptr<Instance>> instances_;
  std::vector<stream::Request> pending_;
  std::size_t first_ = 0;  // the frame number of pending_[0]
};

}  // namespace

bool ReportClean(const Host& host, std::ostream& err) {
  const std::vector<std::string> failures = host.Failures();
  for (const std::string& f : failures) err << "ofxhost: the effect: " << f << "\n";
  const Outstanding held = host.Held();
  const bool balanced = held == Outstanding{};
  if (!balanced) {
    err << "ofxhost: the effect still holds " << held.images << " images, " << held.imageMemory
        << " blocks of image memory, " << held.memory << " memory blocks and " << held.mutexes << " mutexes\n";
  }
  return failures.empty() && balanced;
}

int RunRender(const ProgramOptions& options, const ReadBytes& read, const WriteBytes& write, std::ostream& err) {
  std::optional<Host> host;
  try {
    host.emplace(options.bundle, options.host);
  } catch (const HostError& e) {
    err << "ofxhost: " << e.what() << "\n";
    return 1;
  }
  int status = 0;
  {
    Session session(options, *host, write);
    try {
      stream::Request request;
      bool open = true;
      while (open && stream::ReadRequest(read, request)) open = session.Add(std::move(request));
      if (open) session.Flush();
    } catch (const HostError& e) {
      err << "ofxhost: " << e.what() << "\n";
      status = 1;
    } catch (const std::runtime_error& e) {
      session.Flush();
      err << "ofxhost: malformed request: " << e.what() << "\n";
      status = 2;
    }
    session.Close();
  }
  if (!ReportClean(*host, err) && status == 0) status = 3;
  return status;
}

}  // namespace ofxhost::program
