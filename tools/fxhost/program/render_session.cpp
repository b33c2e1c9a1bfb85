#include "render_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "fxhost/host_error.h"
#include "program_host.h"

namespace fxhost::program {
namespace {

// The output buffer's bytes before the plug-in writes: never a plausible picture.
constexpr std::uint8_t kUnwrittenOutputByte = 0xCD;

PF_Err setUp(Host& host, std::ostream& log) {
  const std::pair<const char*, PF_Err (Host::*)()> steps[] = {
      {"global setup", &Host::globalSetup},
      {"parameter setup", &Host::paramsSetup},
      {"sequence setup", &Host::sequenceSetup},
  };
  for (const auto& [name, step] : steps) {
    if (const PF_Err result = (host.*step)(); result != PF_Err_NONE) {
      log << "fxhost: " << name << " failed with " << result << ": " << host.returnMessage() << "\n";
      return result;
    }
  }
  return PF_Err_NONE;
}

protocol::FrameReply replyTo(const protocol::FrameRequest& request) {
  protocol::FrameReply reply;
  reply.depth = request.depth;
  reply.width = request.width;
  reply.height = request.height;
  return reply;
}

// Sets the request's slots as keyframes at `time`: false, with the reply's status and message,
// when they do not fit the plug-in's parameters.
bool setKeyframes(Host& host, const std::vector<PF_ParamDef>& params, const protocol::FrameRequest& request,
                  A_long time, protocol::FrameReply& reply) {
  if (request.slots.size() + 1 != params.size()) {
    reply.status = protocol::kStatusParamCount;
    reply.message = "expected " + std::to_string(params.size() - 1) + " parameter slots, got " +
                    std::to_string(request.slots.size());
    return false;
  }
  for (std::size_t i = 1; i < params.size(); ++i) {
    PF_ParamDef def = params[i];
    if (!protocol::applyParamSlot(def, request.slots[i - 1])) {
      reply.status = protocol::kStatusParamType;
      reply.message = "parameter " + std::to_string(i) + " has a type the stream cannot set";
      return false;
    }
    host.setKeyframe(time, static_cast<PF_ParamIndex>(i), def.u);
  }
  return true;
}

// The frame's region worked out: the layer at the render's resolution, and where it lies.
struct Layer {
  std::uint32_t width, height;
  std::vector<std::uint8_t> reduced;  // the pixels at a reduced resolution
  std::span<const std::uint8_t> pixels;  // the frame's own at full resolution
  SmartRequest request;
};

Layer layerOf(const protocol::FrameRequest& frame, const protocol::FrameRegion& region) {
  const std::uint32_t nx = region.downsampleX, ny = region.downsampleY;
  Layer layer{(frame.width + nx - 1) / nx, (frame.height + ny - 1) / ny, {}, frame.pixels, {}};
  if (nx != 1 || ny != 1) {
    layer.reduced = protocol::downsamplePixels(frame.depth, frame.width, frame.height, frame.pixels, nx, ny);
    layer.pixels = layer.reduced;
  }
  layer.request.origin = PF_Point{protocol::downsampleCoordinate(region.origin.h, nx),
                                  protocol::downsampleCoordinate(region.origin.v, ny)};
  if ((region.given & protocol::kGivenRect) != 0) layer.request.rect = protocol::downsampleRect(region.rect, nx, ny);
  layer.request.downsampleX = PF_RationalScale{1, nx};
  layer.request.downsampleY = PF_RationalScale{1, ny};
  return layer;
}

// How long each frame's render commands took, in milliseconds, from every thread.
struct Timings {
  std::mutex mutex;
  std::vector<double> milliseconds;

  template <typename Render>
  PF_Err time(Render render) {
    const auto start = std::chrono::steady_clock::now();
    const PF_Err result = render();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const std::lock_guard lock(mutex);
    milliseconds.push_back(took.count());
    return result;
  }

  void report(Host& host, std::ostream& log) {
    std::sort(milliseconds.begin(), milliseconds.end());
    const std::size_t n = milliseconds.size();
    const Records& records = host.records();
    char line[300];
    std::snprintf(line, sizeof line,
                  "timing: %zu frame(s), fastest %.2f ms, median %.2f ms, of which the host made the plug-in's "
                  "worlds in %.2f ms a frame; they held at most %zu bytes at once\n",
                  n, n == 0 ? 0.0 : milliseconds.front(), n == 0 ? 0.0 : milliseconds[n / 2],
                  n == 0 ? 0.0 : records.worldMakingMilliseconds / static_cast<double>(n), records.worldBytesPeak);
    log << line;
  }
};

protocol::FrameReply renderFrame(Host& host, const ProgramOptions& options, const protocol::FrameRequest& request,
                                 A_long time, Timings& timings) {
  protocol::FrameReply reply = replyTo(request);
  const protocol::FrameRegion region = protocol::overlay(options.region, request.region);
  if (options.classicRender && (request.region.given & (protocol::kGivenRect | protocol::kGivenOrigin)) != 0) {
    reply.status = protocol::kStatusRegion;
    reply.message = "the classic render renders the whole layer: a frame for it sets no rectangle or origin";
    return reply;
  }
  try {
    Layer layer = layerOf(request, region);
    const auto width = static_cast<A_long>(layer.width);
    const auto height = static_cast<A_long>(layer.height);
    OwnedWorld input(request.depth, width, height, options.inputPadding);
    OwnedWorld output(request.depth, width, height, options.outputPadding, kUnwrittenOutputByte);
    input.setPackedPixels(layer.pixels);
    PF_LRect shown{0, 0, width, height};  // of the output, in its own pixels
    if (options.classicRender) {
      // The classic render runs alone (one thread), so the host's options may be set per frame, and
      // the last command's message is this frame's.
      host.options().downsampleX = layer.request.downsampleX.value();
      host.options().downsampleY = layer.request.downsampleY.value();
      reply.status = timings.time([&] { return host.render(input, output, time); });
      reply.message = host.returnMessage();
    } else {
      SmartFrame frame;
      frame.time = time;
      frame.request = layer.request;
      reply.status = timings.time([&] { return host.renderSmart(input, output, frame); });
      reply.message = frame.message;
      // What the effect delivered, as far as the layer reaches.
      const PF_Point o = layer.request.origin;
      const PF_LRect& r = frame.outputRect;
      shown = PF_LRect{std::clamp(r.left - o.h, 0, width), std::clamp(r.top - o.v, 0, height),
                       std::clamp(r.right - o.h, 0, width), std::clamp(r.bottom - o.v, 0, height)};
      if (shown.left >= shown.right || shown.top >= shown.bottom) {
        shown = PF_LRect{};
        reply.origin = PF_Point{0, 0};
      } else {
        reply.origin = PF_Point{shown.left + o.h, shown.top + o.v};
      }
    }
    if (reply.status != PF_Err_NONE) return reply;
    reply.width = static_cast<std::uint32_t>(shown.right - shown.left);
    reply.height = static_cast<std::uint32_t>(shown.bottom - shown.top);
    const std::size_t pixel = bytesPerPixel(request.depth);
    reply.pixels.reserve(static_cast<std::size_t>(reply.width) * reply.height * pixel);
    for (A_long y = shown.top; y < shown.bottom; ++y) {
      const std::uint8_t* row = output.row(y) + static_cast<std::size_t>(shown.left) * pixel;
      reply.pixels.insert(reply.pixels.end(), row, row + reply.width * pixel);
    }
  } catch (const HostError& error) {
    reply.status = protocol::kStatusHostWorld;
    reply.message = error.what();
  }
  return reply;
}

// Reads frames until the stream ends and hands each to the pipeline; false when the stream was
// malformed or a reply could not be written.
bool streamFrames(Host& host, const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                  Timings& timings, std::ostream& log) {
  std::vector<PF_ParamDef> params;
  for (PF_ParamIndex i = 0; i < host.paramCount(); ++i) params.push_back(host.param(i));
  FramePipeline pipeline(options.threads, write);
  bool wellFormed = true;
  for (A_long frame = 0;; ++frame) {
    auto request = std::make_shared<protocol::FrameRequest>();
    std::string error;
    const protocol::ReadResult result = protocol::readRequest(read, *request, error);
    if (result == protocol::ReadResult::End) break;
    const A_long time = frame * options.host.timeStep;
    protocol::FrameReply reply = replyTo(*request);
    FramePipeline::Work work;
    if (result == protocol::ReadResult::Malformed) {
      reply = protocol::FrameReply{};
      reply.status = protocol::kStatusMalformed;
      reply.message = error;
      wellFormed = false;
    } else if (setKeyframes(host, params, *request, time, reply)) {
      work = [&host, &options, &timings, request, time] { return renderFrame(host, options, *request, time, timings); };
    }
    if (!work) work = [reply] { return reply; };
    if (!pipeline.submit(std::move(work)) || !wellFormed) break;
  }
  if (pipeline.finish()) return wellFormed;
  log << "fxhost: cannot write a reply\n";
  return false;
}

}  // namespace

int runRenderSession(const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                     std::ostream& log) {
  Host host(options.host);
  if (!loadPlugin(host, options, log)) return kExitSetupFailed;
  const bool ready = setUp(host, log) == PF_Err_NONE;
  Timings timings;
  const bool wellFormed = !ready || streamFrames(host, options, read, write, timings, log);
  host.shutdown();
  if (options.timing) timings.report(host, log);
  const AccountsReport accounts = host.accounts();
  log << accounts.text();
  if (!ready) return kExitSetupFailed;
  if (!wellFormed) return kExitFailed;
  return accounts.balanced() ? kExitSuccess : kExitImbalance;
}

}  // namespace fxhost::program
