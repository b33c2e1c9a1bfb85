// The Host's render commands: the classic render and the smart pre-render and render pair.

#include <algorithm>
#include <cstring>

#include "fxhost/host.h"
#include "fxhost/host_error.h"
#include "host_core.h"

namespace fxhost {
namespace {

using Lock = std::lock_guard<std::mutex>;

// Bytes of padding after each row of a world.
A_long rowPadding(const OwnedWorld& world) {
  return world.rowbytes() - world.width() * static_cast<A_long>(bytesPerPixel(world.depth()));
}

void placeAt(OwnedWorld& world, const PF_LRect& rect) {
  world.world()->origin_x = rect.left;
  world.world()->origin_y = rect.top;
}

PF_Err sendPreRender(detail::HostCore& core, detail::SmartRenderPass& pass, std::string* message) {
  const OwnedWorld& input = *pass.input;
  const PF_Point origin = pass.request.origin;
  pass.layer = PF_LRect{origin.h, origin.v, origin.h + input.width(), origin.v + input.height()};
  PF_RenderRequest& request = pass.preInput.output_request;
  request.rect = pass.request.rect.value_or(pass.layer);
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
  if (message != nullptr) *message = command.outData.return_msg;
  return result;
}

// The output world holds what the effect said it would deliver, and no more than was asked unless
// it declared extra pixels. When that is the caller's whole output, the caller's world itself.
void prepareOutput(detail::SmartRenderPass& pass) {
  const PF_PreRenderOutput& pre = pass.preOutput;
  const bool extra = (pre.flags & PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS) != 0;
  const PF_LRect limit = extra ? pre.result_rect : pass.preInput.output_request.rect;
  pass.outputRect = detail::clipRect(pre.result_rect, limit);
  OwnedWorld& canvas = *pass.output;
  const PF_LRect whole{pass.layer.left, pass.layer.top, pass.layer.left + canvas.width(),
                       pass.layer.top + canvas.height()};
  if (detail::sameRect(pass.outputRect, whole) && detail::sameRect(whole, pass.layer)) {
    placeAt(canvas, whole);
    return;
  }
  const PF_LRect& r = pass.outputRect;
  pass.outputWindow = std::make_unique<OwnedWorld>(canvas.depth(), r.right - r.left, r.bottom - r.top,
                                                   rowPadding(canvas), std::uint8_t{0xCD});
  placeAt(*pass.outputWindow, r);
}

// What the effect wrote into an output world of the host's own, copied into the caller's output as
// far as that reaches.
void deliverOutput(detail::SmartRenderPass& pass) {
  if (!pass.outputWindow) return;
  OwnedWorld& canvas = *pass.output;
  const PF_LRect whole{pass.layer.left, pass.layer.top, pass.layer.left + canvas.width(),
                       pass.layer.top + canvas.height()};
  const PF_LRect shown = detail::clipRect(pass.outputRect, whole);
  const std::size_t pixel = bytesPerPixel(canvas.depth());
  const auto length = static_cast<std::size_t>(shown.right - shown.left) * pixel;
  for (A_long y = shown.top; y < shown.bottom; ++y) {
    std::memcpy(canvas.row(y - whole.top) + static_cast<std::size_t>(shown.left - whole.left) * pixel,
                pass.outputWindow->row(y - pass.outputRect.top) +
                    static_cast<std::size_t>(shown.left - pass.outputRect.left) * pixel,
                length);
  }
}

PF_Err sendSmartRender(detail::HostCore& core, detail::SmartRenderPass& pass, std::string* message) {
  prepareOutput(pass);
  PF_SmartRenderInput input{};
  input.output_request = pass.preInput.output_request;
  input.bitdepth = pass.preInput.bitdepth;
  input.pre_render_data = pass.preOutput.pre_render_data;
  PF_SmartRenderCallbacks callbacks = detail::smartRenderCallbacks();
  PF_SmartRenderExtra extra{&input, &callbacks};

  detail::CommandContext command{PF_Cmd_SMART_RENDER, pass.time, pass.input, &pass};
  const PF_Err result = core.run(command, nullptr, nullptr, &extra);
  deliverOutput(pass);
  if (message != nullptr) *message = command.outData.return_msg;
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
  {
    const Lock lock(core.mutex);
    pass->request = core.smartRequest;
  }
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
  SmartFrame frame;
  frame.time = time;
  {
    const Lock lock(core_->mutex);
    frame.request = core_->smartRequest;
  }
  const PF_Err result = renderSmart(input, output, frame);
  if (returnMessage != nullptr) *returnMessage = frame.message;
  return result;
}

PF_Err Host::renderSmart(OwnedWorld& input, OwnedWorld& output, SmartFrame& frame) {
  detail::SmartRenderPass pass;
  pass.time = frame.time;
  pass.input = &input;
  pass.output = &output;
  pass.request = frame.request;
  const PF_Err result = thenFinish(*core_, pass, [&] {
    const PF_Err preRender = sendPreRender(*core_, pass, &frame.message);
    return preRender == PF_Err_NONE ? sendSmartRender(*core_, pass, &frame.message) : preRender;
  });
  frame.outputRect = pass.outputRect;
  return result;
}

void Host::setSmartRequest(const SmartRequest& request) {
  const Lock lock(core_->mutex);
  core_->smartRequest = request;
}

}  // namespace fxhost
