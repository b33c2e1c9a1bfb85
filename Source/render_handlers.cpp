// Every render, smart or classic, from the host's command to ProcessJob by way of a RenderJob.

#include <algorithm>
#include <cstddef>

#include "base_filter.h"
#include "host_handle.h"
#include "output_window.h"
#include "param_registry.h"
#include "world_suite.h"

namespace {

// The smart-render job as it lives in its host handle: the job first, then what the delete
// function needs to give the handle back, since the host calls that function without any command
// block at hand.
struct PreRenderData {
  RenderJob job;
  PF_Handle self;
  void (*disposeHandle)(PF_Handle handle);
};

void deletePreRenderData(void* data) {
  const auto handle = static_cast<PF_Handle>(data);
  const auto* stored = static_cast<const PreRenderData*>(*handle);
  stored->disposeHandle(handle);
}

// Reads every descriptor's value into the job; returns the first failure and how many were read.
PF_Err readValues(RenderJob& job, ParamGetter& reader, std::size_t& read) {
  read = 0;
  return forEachDescriptor([&](BaseParam& d) {
    const PF_Err err = d.ReadValue(&job, reader);
    if (err == PF_Err_NONE) ++read;
    return err;
  });
}

// Gives back the classic render's checkouts when the render is over, on every path out. Only the
// descriptors that were checked out are checked in: a definition the host refused, or never got
// to, is not the host's to take back.
class CheckinOnExit {
 public:
  explicit CheckinOnExit(PF_InData* in_data) : in_data_(in_data) {}
  ~CheckinOnExit() {
    if (!released_) release();
  }
  CheckinOnExit(const CheckinOnExit&) = delete;
  CheckinOnExit& operator=(const CheckinOnExit&) = delete;

  std::size_t checkedOut = 0;  // descriptors 1 to checkedOut

  // Returns the first failed check-in. The others are still checked in: one the host refused
  // must not keep every later parameter checked out.
  PF_Err release() {
    released_ = true;
    GetParamByCheckout releaser(in_data_, nullptr, false);
    const ParamRegistry& registry = paramRegistry();
    PF_Err first = PF_Err_NONE;
    for (std::size_t i = 1; i <= checkedOut; ++i) {
      BaseParam* descriptor = registry.at(i);
      if (descriptor == nullptr) break;
      const PF_Err err = descriptor->ReleaseValue(releaser);
      if (first == PF_Err_NONE) first = err;
    }
    return first;
  }

 private:
  PF_InData* in_data_;
  bool released_ = false;
};

bool nonEmpty(const PF_LRect& r) { return r.left < r.right && r.top < r.bottom; }

PF_LRect intersection(const PF_LRect& a, const PF_LRect& b) {
  const PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
  return nonEmpty(r) ? r : PF_LRect{};
}

// The output rectangle grown to cover what the effect delivers.
void cover(PF_LRect& output, const PF_LRect& input) {
  if (!nonEmpty(output)) {
    output = input;
    return;
  }
  if (!nonEmpty(input)) return;
  output.left = std::min(output.left, input.left);
  output.top = std::min(output.top, input.top);
  output.right = std::max(output.right, input.right);
  output.bottom = std::max(output.bottom, input.bottom);
}

// The checkout the smart render takes its pixels from, and the one that only learns the layer's
// extent.
constexpr A_long kInputCheckout = 0;
constexpr A_long kExtentCheckout = 1;

}  // namespace

PF_Err BaseFilter::Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output) {
  RenderJob job = prefilledRenderJob();
  job.inData = in_data;
  job.outData = out_data;
  job.inputWorld = &params[0]->u.ld;
  job.outputWorld = output;
  CheckinOnExit checkins(in_data);
  PF_Err err = AEUtil::WorldSuite::getPixelFormat(in_data, job.inputWorld, &job.pixelFormat);
  if (err == PF_Err_NONE) {
    GetParamByCheckout reader(in_data, params, false);
    err = readValues(job, reader, checkins.checkedOut);
  }
  if (err == PF_Err_NONE) err = ProcessJob(job);
  const PF_Err checkinErr = checkins.release();
  return err != PF_Err_NONE ? err : checkinErr;
}

PF_Err BaseFilter::SmartPreRender(PF_InData* in_data, PF_OutData* out_data, void* extra) {
  auto* preRender = static_cast<PF_PreRenderExtra*>(extra);
  if (preRender == nullptr || preRender->output == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  PF_UtilCallbacks& utils = *in_data->utils;
  const PF_Handle handle = utils.host_new_handle(sizeof(PreRenderData));
  if (handle == nullptr) return PF_Err_OUT_OF_MEMORY;
  const LockedHandle locked(in_data, handle);
  auto* data = locked.as<PreRenderData>();
  if (data == nullptr) {
    utils.host_dispose_handle(handle);
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  data->job = prefilledRenderJob();
  data->self = handle;
  data->disposeHandle = utils.host_dispose_handle;
  // From here the host owns the handle and frees it through the delete function, whether or not
  // the render it was made for ever comes.
  preRender->output->pre_render_data = handle;
  preRender->output->delete_pre_render_data_func = deletePreRenderData;

  GetParamByCheckout reader(in_data, nullptr, true);
  std::size_t read = 0;
  const PF_Err err = readValues(data->job, reader, read);
  if (err != PF_Err_NONE) return err;
  return PreRenderRects(in_data, out_data, extra, data->job);
}

PF_Err BaseFilter::PreRenderRects(PF_InData* in_data, PF_OutData*, void* extra, RenderJob&) {
  auto* preRender = static_cast<PF_PreRenderExtra*>(extra);
  if (preRender->input == nullptr || preRender->cb == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const auto checkout = [&](A_long id, const PF_RenderRequest& request, PF_CheckoutResult& result) {
    return preRender->cb->checkout_layer(in_data->effect_ref, 0, id, &request, in_data->current_time,
                                         in_data->time_step, in_data->time_scale, &result);
  };
  // The smoothing of a pixel follows the stairs along its whole row and column, which may cross the
  // whole layer: whatever part the host asks for, the input is needed whole, or the edges of the
  // part would show seams. The layer's extent (its largest result) is learnt from a checkout of
  // the request as asked; the render's own checkout then asks for all of it. Asking for a rectangle
  // beyond the layer instead would send a huge request to every effect above this one.
  const PF_RenderRequest asked = preRender->input->output_request;
  PF_CheckoutResult extent{};
  if (const PF_Err err = checkout(kExtentCheckout, asked, extent); err != PF_Err_NONE) return err;
  PF_RenderRequest whole = asked;
  whole.rect = extent.max_result_rect;
  PF_CheckoutResult input{};
  if (const PF_Err err = checkout(kInputCheckout, whole, input); err != PF_Err_NONE) return err;
  // What the effect delivers is what was asked for, as far as the input reaches; beyond the input
  // the layer is empty.
  cover(preRender->output->result_rect, intersection(asked.rect, input.result_rect));
  cover(preRender->output->max_result_rect, input.max_result_rect);
  return PF_Err_NONE;
}

PF_Err BaseFilter::SmartRender(PF_InData* in_data, PF_OutData* out_data, void* extra) {
  auto* smart = static_cast<PF_SmartRenderExtra*>(extra);
  if (smart == nullptr || smart->input == nullptr || smart->cb == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const LockedHandle locked(in_data, static_cast<PF_Handle>(smart->input->pre_render_data));
  auto* data = locked.as<PreRenderData>();
  if (data == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  RenderJob& job = data->job;
  job.inData = in_data;
  job.outData = out_data;
  job.inputWorld = nullptr;
  job.outputWorld = nullptr;
  PF_Err err = smart->cb->checkout_layer_pixels(in_data->effect_ref, kInputCheckout, &job.inputWorld);
  if (err == PF_Err_NONE) err = smart->cb->checkout_output(in_data->effect_ref, &job.outputWorld);
  if (err == PF_Err_NONE && job.inputWorld != nullptr && job.outputWorld != nullptr) {
    err = AEUtil::WorldSuite::getPixelFormat(in_data, job.inputWorld, &job.pixelFormat);
    if (err == PF_Err_NONE) err = BeforeRender(in_data, out_data, extra, job);
    if (err == PF_Err_NONE) {
      // The whole layer asked for: the kernels write the host's output directly.
      err = outputCoversInput(*job.inputWorld, *job.outputWorld)
                ? ProcessJob(job)
                : renderOutputWindow(job, [this](const RenderJob& whole) { return ProcessJob(whole); });
    }
  }
  if (err != PF_Err_NONE) return err;
  return smart->cb->checkin_layer_pixels(in_data->effect_ref, kInputCheckout);
}
