#include "host_core.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "fxhost/host_error.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

HostCore* gActive = nullptr;

}  // namespace

HostCore& active() {
  if (gActive == nullptr) {
    // A plug-in calling back after its host is gone: nothing sensible can be returned.
    std::fputs("fxhost: a host callback was called while no host exists\n", stderr);
    std::abort();
  }
  return *gActive;
}

HostCore* activeOrNull() { return gActive; }

void recordNotImplemented(const char* function) {
  if (gActive != nullptr) gActive->records.notImplemented.emplace_back(function);
}

HostCore::HostCore(HostOptions hostOptions) : options(std::move(hostOptions)) {
  if (gActive != nullptr) throw HostError("only one simulated host can exist at a time");
  fillUtilCallbacks(utils);
  fillBasicSuite(basic);
  PF_ParamDef layer{};
  layer.param_type = PF_Param_LAYER;
  params.push_back(layer);
  gActive = this;
}

HostCore::~HostCore() { gActive = nullptr; }

bool HostCore::checkEffectRef(PF_ProgPtr ref, const char* function) {
  if (ref == effectRef()) return true;
  accounts.imbalance(accounts.where() + ": " + function + " called with an effect reference the host did not give");
  return false;
}

PF_ParamDef HostCore::layerParam() const {
  PF_ParamDef def = params.front();
  def.u.ld = input != nullptr ? *input->world() : PF_EffectWorld{};
  return def;
}

PF_Err HostCore::run(PF_Cmd command, PF_ParamDef** commandParams, PF_EffectWorld* output, void* extra) {
  if (!plugin) throw HostError("no plug-in is loaded");
  return runEntry(plugin->entry(), nullptr, command, commandParams, output, extra);
}

PF_Err HostCore::runEntry(PF_FilterProc entry, const std::function<PF_Err(PF_InData&, PF_OutData&)>* body,
                          PF_Cmd command, PF_ParamDef** commandParams, PF_EffectWorld* output, void* extra) {
  if (accounts.inCommand()) throw HostError("a command cannot be sent while another one runs");
  const A_long width = input != nullptr ? input->width() : options.width;
  const A_long height = input != nullptr ? input->height() : options.height;

  inData = PF_InData{};
  fillInteractCallbacks(inData.inter);
  inData.utils = &utils;
  inData.effect_ref = effectRef();
  inData.quality = options.quality;
  inData.version = options.version;
  inData.appl_id = options.applId;
  inData.num_params = static_cast<A_long>(params.size());
  inData.current_time = options.currentTime;
  inData.time_step = options.timeStep;
  inData.total_time = options.totalTime;
  inData.local_time_step = options.timeStep;
  inData.time_scale = options.timeScale;
  inData.field = PF_Field_FRAME;
  inData.width = width;
  inData.height = height;
  inData.extent_hint = PF_LRect{0, 0, width, height};
  inData.downsample_x = options.downsampleX;
  inData.downsample_y = options.downsampleY;
  inData.pixel_aspect_ratio = PF_RationalScale{1, 1};
  inData.global_data = globalData;
  inData.sequence_data = sequenceData;
  inData.pica_basicP = options.provideBasicSuite ? &basic : nullptr;

  outData = PF_OutData{};
  outData.global_data = globalData;
  outData.sequence_data = sequenceData;
  outData.width = width;
  outData.height = height;

  accounts.beginCommand(command);
  handles.beginCommand();
  PF_Err result = PF_Err_NONE;
  try {
    result = body != nullptr ? (*body)(inData, outData) : entry(command, &inData, &outData, commandParams, output, extra);
  } catch (...) {
    // Code run in place of a plug-in may throw; the command still closes its books.
    handles.endCommand();
    accounts.endCommand();
    throw;
  }
  handles.endCommand();
  if (std::memchr(outData.return_msg, 0, sizeof outData.return_msg) == nullptr) {
    accounts.imbalance(accounts.where() + ": return_msg is not terminated within its 256 bytes");
    outData.return_msg[sizeof outData.return_msg - 1] = 0;
  }
  accounts.endCommand();
  return result;
}

void HostCore::finishSmartRender() {
  if (!smart.active) return;
  void* data = smart.preOutput.pre_render_data;
  const PF_DeletePreRenderDataFunc deleteData = smart.preOutput.delete_pre_render_data_func;
  smart = SmartRenderPass{};
  if (data == nullptr) return;
  if (deleteData != nullptr) {
    deleteData(data);
    ++records.preRenderDataDeletions;
    return;
  }
  const auto handle = static_cast<PF_Handle>(data);
  if (!options.reclaimPreRenderHandles || !handles.contains(handle)) return;
  handles.dispose(handle);
  ++records.preRenderHandlesReclaimed;
}

}  // namespace fxhost::detail
