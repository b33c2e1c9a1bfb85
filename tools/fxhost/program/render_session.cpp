#include "render_session.h"

#include <memory>

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

protocol::FrameReply renderFrame(Host& host, const ProgramOptions& options, const protocol::FrameRequest& request,
                                 A_long time) {
  protocol::FrameReply reply = replyTo(request);
  try {
    const auto width = static_cast<A_long>(request.width);
    const auto height = static_cast<A_long>(request.height);
    OwnedWorld input(request.depth, width, height, options.inputPadding);
    OwnedWorld output(request.depth, width, height, options.outputPadding, kUnwrittenOutputByte);
    input.setPackedPixels(request.pixels);
    if (options.classicRender) {
      // The classic render runs alone, so the last command's message is this frame's.
      reply.status = host.render(input, output, time);
      reply.message = host.returnMessage();
    } else {
      reply.status = host.renderSmart(input, output, time, &reply.message);
    }
    if (reply.status == PF_Err_NONE) reply.pixels = output.packedPixels();
  } catch (const HostError& error) {
    reply.status = protocol::kStatusHostWorld;
    reply.message = error.what();
  }
  return reply;
}

// Reads frames until the stream ends and hands each to the pipeline; false when the stream was
// malformed or a reply could not be written.
bool streamFrames(Host& host, const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                  std::ostream& log) {
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
      work = [&host, &options, request, time] { return renderFrame(host, options, *request, time); };
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
  const bool wellFormed = !ready || streamFrames(host, options, read, write, log);
  host.shutdown();
  const AccountsReport accounts = host.accounts();
  log << accounts.text();
  if (!ready) return kExitSetupFailed;
  if (!wellFormed) return kExitFailed;
  return accounts.balanced() ? kExitSuccess : kExitImbalance;
}

}  // namespace fxhost::program
