// The pre-render and smart-render callbacks: the input layer is checked out for a request during
// the pre-render, and its pixels and the output during the smart render that follows.

#include <algorithm>

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

PF_LRect clip(const PF_LRect& rect, const PF_LRect& bounds) {
  PF_LRect clipped{std::max(rect.left, bounds.left), std::max(rect.top, bounds.top),
                   std::min(rect.right, bounds.right), std::min(rect.bottom, bounds.bottom)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return PF_LRect{};
  return clipped;
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
  if (host->faults.checkoutLayerError != 0) return record.result = host->faults.checkoutLayerError;
  // The input layer is the only layer this host has.
  if (index != 0 || pass->layerCheckouts.contains(checkoutId)) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  const OwnedWorld& input = *pass->input;
  const PF_LRect bounds{0, 0, input.width(), input.height()};
  *result = PF_CheckoutResult{};
  result->result_rect = clip(request->rect, bounds);
  result->max_result_rect = bounds;
  result->par = PF_RationalScale{1, 1};
  result->ref_width = input.width();
  result->ref_height = input.height();
  pass->layerCheckouts[checkoutId] = *request;
  return record.result = PF_Err_NONE;
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
  if (!host->faults.layerPixelsAbsent) *pixels = pass->input->world();
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
  if (!host->faults.outputAbsent) *output = pass->output->world();
  return PF_Err_NONE;
}

}  // namespace

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
