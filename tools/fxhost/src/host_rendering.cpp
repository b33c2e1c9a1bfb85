// The Host's render commands: the classic render and the smart pre-render and render pair.

#include "fxhost/host.h"
#include "fxhost/host_error.h"
#include "host_core.h"

namespace fxhost {
namespace {

using Lock = std::lock_guard<std::mutex>;

void keepMessage(const detail::CommandContext& command, std::string* message) {
  if (message != nullptr) *message = command.outData.return_msg;
}

PF_Err sendPreRender(detail::HostCore& core, detail::SmartRenderPass& pass, std::string* message) {
  const OwnedWorld& input = *pass.input;
  PF_RenderRequest& request = pass.preInput.output_request;
  {
    const Lock lock(core.mutex);
    request.rect = core.requestRect.value_or(PF_LRect{0, 0, input.width(), input.height()});
  }
  request.field = PF_Field_FRAME;
  request.channel_mask = PF_ChannelMask_ARGB;
  pass.preInput.bitdepth = static_cast<A_short>(input.depth());
  pass.preCallbacks = detail::preRenderCallbacks();
  PF_PreRenderExtra extra{&pass.preInput, &pass.preOutput, &pass.preCallbacks};

  detail::CommandContext command{PF_Cmd_SMART_PRE_RENDER, pass.time, pass.input, &pass};
  const PF_Err result = core.run(command, nullptr, nullptr, &extra);
  {
    const Lock lock(core.mutex);
    core.lastPreRender = pass.preOutput;
  }
  keepMessage(command, message);
  return result;
}

PF_Err sendSmartRender(detail::HostCore& core, detail::SmartRenderPass& pass, std::string* message) {
  PF_SmartRenderInput input{};
  input.output_request = pass.preInput.output_request;
  input.bitdepth = pass.preInput.bitdepth;
  input.pre_render_data = pass.preOutput.pre_render_data;
  PF_SmartRenderCallbacks callbacks = detail::smartRenderCallbacks();
  PF_SmartRenderExtra extra{&input, &callbacks};

  detail::CommandContext command{PF_Cmd_SMART_RENDER, pass.time, pass.input, &pass};
  const PF_Err result = core.run(command, nullptr, nullptr, &extra);
  keepMessage(command, message);
  return result;
}

// Runs `step` on the pass and then finishes it, also when the host refuses the command.
template <typename Step>
PF_Err thenFinish(detail::HostCore& core, detail::SmartRenderPass& pass, Step step) {
  PF_Err result = PF_Err_NONE;
  try {
    result = step();
  } catch (...) {
    core.finishSmartRender(pass);
    throw;
  }
  core.finishSmartRender(pass);
  return result;
}

}  // namespace

PF_Err Host::render(OwnedWorld& input, OwnedWorld& output) { return render(input, output, currentTime()); }

PF_Err Host::render(OwnedWorld& input, OwnedWorld& output, A_long time) {
  return runWithParams(PF_Cmd_RENDER, output.world(), nullptr, false, &input, time);
}

PF_Err Host::smartPreRender(OwnedWorld& input) {
  detail::HostCore& core = *core_;
  core.finishPendingSmartRender();
  auto pass = std::make_unique<detail::SmartRenderPass>();
  pass->time = currentTime();
  pass->input = &input;
  PF_Err result = PF_Err_NONE;
  try {
    result = sendPreRender(core, *pass, nullptr);
  } catch (...) {
    core.finishSmartRender(*pass);
    throw;
  }
  std::unique_ptr<detail::SmartRenderPass> replaced;
  {
    const Lock lock(core.mutex);
    replaced = std::exchange(core.pending, std::move(pass));
  }
  if (replaced) core.finishSmartRender(*replaced);
  return result;
}

PF_Err Host::smartRender(OwnedWorld& output) {
  detail::HostCore& core = *core_;
  std::unique_ptr<detail::SmartRenderPass> pass;
  {
    const Lock lock(core.mutex);
    pass = std::move(core.pending);
  }
  if (!pass) throw HostError("a smart render needs a smart pre-render first");
  pass->output = &output;
  return thenFinish(core, *pass, [&] { return sendSmartRender(core, *pass, nullptr); });
}

PF_Err Host::renderSmart(OwnedWorld& input, OwnedWorld& output) { return renderSmart(input, output, currentTime()); }

PF_Err Host::renderSmart(OwnedWorld& input, OwnedWorld& output, A_long time, std::string* returnMessage) {
  detail::SmartRenderPass pass;
  pass.time = time;
  pass.input = &input;
  pass.output = &output;
  return thenFinish(*core_, pass, [&] {
    const PF_Err result = sendPreRender(*core_, pass, returnMessage);
    return result == PF_Err_NONE ? sendSmartRender(*core_, pass, returnMessage) : result;
  });
}

}  // namespace fxhost
