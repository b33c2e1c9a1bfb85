// The Host's render commands: the classic render and the smart pre-render and render pair.

#include "fxhost/host.h"
#include "fxhost/host_error.h"
#include "host_core.h"

namespace fxhost {

PF_Err Host::render(OwnedWorld& input, OwnedWorld& output) {
  core_->input = &input;
  const PF_Err result = runWithParams(PF_Cmd_RENDER, output.world(), nullptr, false);
  core_->input = nullptr;
  return result;
}

PF_Err Host::smartPreRender(OwnedWorld& input) {
  detail::HostCore& core = *core_;
  core.finishSmartRender();
  detail::SmartRenderPass& smart = core.smart;
  smart.active = true;
  smart.input = &input;
  PF_RenderRequest& request = smart.preInput.output_request;
  request.rect = core.requestRect.value_or(PF_LRect{0, 0, input.width(), input.height()});
  request.field = PF_Field_FRAME;
  request.channel_mask = PF_ChannelMask_ARGB;
  smart.preInput.bitdepth = static_cast<A_short>(input.depth());
  smart.preCallbacks = detail::preRenderCallbacks();
  PF_PreRenderExtra extra{&smart.preInput, &smart.preOutput, &smart.preCallbacks};

  core.input = &input;
  const PF_Err result = core.run(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &extra);
  core.input = nullptr;
  lastPreRender_ = smart.preOutput;
  return result;
}

PF_Err Host::smartRender(OwnedWorld& output) {
  detail::HostCore& core = *core_;
  detail::SmartRenderPass& smart = core.smart;
  if (!smart.active) throw HostError("a smart render needs a smart pre-render first");
  smart.output = &output;
  PF_SmartRenderInput input{};
  input.output_request = smart.preInput.output_request;
  input.bitdepth = smart.preInput.bitdepth;
  input.pre_render_data = smart.preOutput.pre_render_data;
  PF_SmartRenderCallbacks callbacks = detail::smartRenderCallbacks();
  PF_SmartRenderExtra extra{&input, &callbacks};

  core.input = smart.input;
  const PF_Err result = core.run(PF_Cmd_SMART_RENDER, nullptr, nullptr, &extra);
  core.input = nullptr;
  core.finishSmartRender();
  return result;
}

PF_Err Host::renderSmart(OwnedWorld& input, OwnedWorld& output) {
  const PF_Err result = smartPreRender(input);
  if (result == PF_Err_NONE) return smartRender(output);
  core_->finishSmartRender();
  return result;
}

}  // namespace fxhost
