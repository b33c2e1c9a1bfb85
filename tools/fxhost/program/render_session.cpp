#include "render_session.h"

#include "fxhost/host.h"
#include "fxhost/host_error.h"

namespace fxhost::program {
namespace {

constexpr int kExitBalanced = 0;
constexpr int kExitSetupFailed = 1;
constexpr int kExitMalformed = 2;
constexpr int kExitImbalance = 3;

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

protocol::FrameReply renderFrame(Host& host, const ProgramOptions& options, const protocol::FrameRequest& request) {
  protocol::FrameReply reply;
  reply.depth = request.depth;
  reply.width = request.width;
  reply.height = request.height;
  if (request.slots.size() + 1 != static_cast<std::size_t>(host.paramCount())) {
    reply.status = protocol::kStatusParamCount;
    reply.message = "expected " + std::to_string(host.paramCount() - 1) + " parameter slots, got " +
                    std::to_string(request.slots.size());
    return reply;
  }
  for (std::size_t i = 0; i < request.slots.size(); ++i) {
    if (!protocol::applyParamSlot(host.param(static_cast<PF_ParamIndex>(i + 1)), request.slots[i])) {
      reply.status = protocol::kStatusParamType;
      reply.message = "parameter " + std::to_string(i + 1) + " has a type the stream cannot set";
      return reply;
    }
  }
  try {
    const auto width = static_cast<A_long>(request.width);
    const auto height = static_cast<A_long>(request.height);
    OwnedWorld input(request.depth, width, height, options.inputPadding);
    OwnedWorld output(request.depth, width, height, options.outputPadding, kUnwrittenOutputByte);
    input.setPackedPixels(request.pixels);
    reply.status = options.classicRender ? host.render(input, output) : host.renderSmart(input, output);
    reply.message = host.returnMessage();
    if (reply.status == PF_Err_NONE) reply.pixels = output.packedPixels();
  } catch (const HostError& error) {
    reply.status = protocol::kStatusHostWorld;
    reply.message = error.what();
  }
  return reply;
}

}  // namespace

int runRenderSession(const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                     std::ostream& log) {
  Host host(options.host);
  for (const auto& [name, version] : options.refusedSuites) host.faults().refuseSuite(name, version);
  try {
    host.loadPlugin(options.pluginPath);
  } catch (const HostError& error) {
    log << "fxhost: " << error.what() << "\n";
    return kExitSetupFailed;
  }
  bool setUpFailed = setUp(host, log) != PF_Err_NONE;
  bool malformed = false;
  while (!setUpFailed) {
    protocol::FrameRequest request;
    std::string error;
    const protocol::ReadResult result = protocol::readRequest(read, request, error);
    if (result == protocol::ReadResult::End) break;
    protocol::FrameReply reply;
    if (result == protocol::ReadResult::Malformed) {
      reply.status = protocol::kStatusMalformed;
      reply.message = error;
      malformed = true;
    } else {
      reply = renderFrame(host, options, request);
    }
    const std::vector<std::uint8_t> bytes = protocol::encodeReply(reply);
    if (!write(bytes.data(), bytes.size())) {
      log << "fxhost: cannot write a reply\n";
      malformed = true;
    }
    if (malformed) break;
  }
  host.shutdown();
  const AccountsReport accounts = host.accounts();
  log << accounts.text();
  if (setUpFailed) return kExitSetupFailed;
  if (malformed) return kExitMalformed;
  return accounts.balanced() ? kExitBalanced : kExitImbalance;
}

}  // namespace fxhost::program
