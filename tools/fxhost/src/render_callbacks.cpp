// The pre-render and smart-render callbacks: the input layer is checked out for a request during
// the pre-render, and its pixels and the output during the smart render that follows.

#include <algorithm>
#include <cstring>

#include "host_core.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

// The smart-render pass of the calling thread's command, when that command is `command`.
SmartRenderPass* duringCommand(HostCore& host, PF_Cmd command, const char* function) {
  CommandContext* current = currentCommand();
  if (current != nullptr && current->command == command && current->smart != nullptr) return current->smart;
  host.accounts.imbalance(host.accounts.where() + ": " + function + " outside " + commandName(command));
  return nullptr;
}

PF_Err checkoutLayer(PF_ProgPtr ref, PF_ParamIndex index, A_long checkoutId, const PF_RenderRequest* request,
                     A_long time, A_long timeStep, A_u_long timeScale, PF_CheckoutResult* result) {
  LockedHost host;
  LayerCheckoutRecord& record = host->records.layerCheckouts.emplace_back();
  record.index = index;
  record.checkoutId = checkoutId;
  if (request != nullptr) record.request = *request;
  record.time = time;
  record.timeStep = timeStep;
  record.timeScale = timeScale;
  if (!host->checkEffectRef(ref, "checkout_layer") || request == nullptr || result == nullptr) {
    return record.result = PF_Err_BAD_CALLBACK_PARAM;
  }
  SmartRenderPass* pass = duringCommand(*host, PF_Cmd_SMART_PRE_RENDER, "checkout_layer");
  if (pass == nullptr) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  if (Faults::due(host->faults.checkoutLayerError, host->faults.checkoutLayerSuccessesFirst)) {
    return record.result = host->faults.checkoutLayerError;
  }
  // The input layer is the only layer this host has.
  if (index != 0 || pass->layerCheckouts.contains(checkoutId)) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  const OwnedWorld& input = *pass->input;
  // The layer delivers what was asked of it as far as it reaches, and never more than itself.
  *result = PF_CheckoutResult{};
  result->result_rect = clipRect(request->rect, pass->layer);
  result->max_result_rect = pass->layer;
  result->par = PF_RationalScale{1, 1};
  result->ref_width = input.width();
  result->ref_height = input.height();
  pass->layerCheckouts[checkoutId] = LayerCheckout{*request, result->result_rect};
  return record.result = PF_Err_NONE;
}

// The pixels of a checkout: the layer's own world when the checkout covers all of it, else a world
// of the host's holding just the rectangle it delivers (empty when it delivers nothing). Either is
// placed in the layer by its origin.
PF_EffectWorld* checkedOutPixels(SmartRenderPass& pass, A_long checkoutId) {
  const PF_LRect& r = pass.layerCheckouts.at(checkoutId).result;
  OwnedWorld& layer = *pass.input;
  if (sameRect(r, pass.layer)) {
    layer.world()->origin_x = r.left;
    layer.world()->origin_y = r.top;
    return layer.world();
  }
  std::unique_ptr<OwnedWorld>& window = pass.inputWindows[checkoutId];
  if (!window) {
    const std::size_t pixel = bytesPerPixel(layer.depth());
    const auto skip = static_cast<std::size_t>(r.left - pass.layer.left) * pixel;
    window = std::make_unique<OwnedWorld>(layer.depth(), r.right - r.left, r.bottom - r.top);
    for (A_long y = r.top; y < r.bottom; ++y) {
      std::memcpy(window->row(y - r.top), layer.row(y - pass.layer.top) + skip,
                  static_cast<std::size_t>(r.right - r.left) * pixel);
    }
    window->world()->origin_x = r.left;
    window->world()->origin_y = r.top;
  }
  return window->world();
}

PF_Err checkoutLayerPixels(PF_ProgPtr ref, A_long checkoutId, PF_EffectWorld** pixels) {
  LockedHost host;
  ++host->records.layerPixelCheckouts;
  if (pixels != nullptr) *pixels = nullptr;
  if (!host->checkEffectRef(ref, "checkout_layer_pixels") || pixels == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  SmartRenderPass* pass = duringCommand(*host, PF_Cmd_SMART_RENDER, "checkout_layer_pixels");
  if (pass == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (host->faults.checkoutLayerPixelsError != 0) return host->faults.checkoutLayerPixelsError;
  if (!pass->layerCheckouts.contains(checkoutId)) {
    host->accounts.imbalance(host->accounts.where() + ": checkout_layer_pixels of checkout id " +
                             std::to_string(checkoutId) + ", which the pre-render did not check out");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  pass->pixelsOut.insert(checkoutId);
  if (!host->faults.layerPixelsAbsent) *pixels = checkedOutPixels(*pass, checkoutId);
  return PF_Err_NONE;
}

PF_Err checkinLayerPixels(PF_ProgPtr ref, A_long checkoutId) {
  LockedHost host;
  ++host->records.layerPixelCheckins;
  if (!host->checkEffectRef(ref, "checkin_layer_pixels")) return PF_Err_BAD_CALLBACK_PARAM;
  CommandContext* current = currentCommand();
  if (current == nullptr || current->smart == nullptr || current->smart->pixelsOut.erase(checkoutId) == 0) {
    host->accounts.imbalance(host->accounts.where() + ": checkin_layer_pixels of checkout id " +
                             std::to_string(checkoutId) + ", whose pixels are not checked out");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return PF_Err_NONE;
}

PF_Err checkoutOutput(PF_ProgPtr ref, PF_EffectWorld** output) {
  LockedHost host;
  ++host->records.outputCheckouts;
  if (output != nullptr) *output = nullptr;
  if (!host->checkEffectRef(ref, "checkout_output") || output == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  SmartRenderPass* pass = duringCommand(*host, PF_Cmd_SMART_RENDER, "checkout_output");
  if (pass == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (host->faults.checkoutOutputError != 0) return host->faults.checkoutOutputError;
  if (!host->faults.outputAbsent) *output = pass->outputWindow ? pass->outputWindow->world() : pass->output->world();
  return PF_Err_NONE;
}

}  // namespace

PF_LRect clipRect(const PF_LRect& rect, const PF_LRect& bounds) {
  const PF_LRect clipped{std::max(rect.left, bounds.left), std::max(rect.top, bounds.top),
                         std::min(rect.right, bounds.right), std::min(rect.bottom, bounds.bottom)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return PF_LRect{};
  return clipped;
}

bool sameRect(const PF_LRect& a, const PF_LRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

PF_PreRenderCallbacks preRenderCallbacks() {
  PF_PreRenderCallbacks callbacks{};
  callbacks.checkout_layer = checkoutLayer;
  FXHOST_NOT_IMPLEMENTED(callbacks, "pre-render callbacks: ", GuidMixInPtr);
  return callbacks;
}

PF_SmartRenderCallbacks smartRenderCallbacks() {
  PF_SmartRenderCallbacks callbacks{};
  callbacks.checkout_layer_pixels = checkoutLayerPixels;
  callbacks.checkin_layer_pixels = checkinLayerPixels;
  callbacks.checkout_output = checkoutOutput;
  return callbacks;
}

}  // namespace fxhost::detail
