#include "host_core.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "fxhost/host_error.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

HostCore* gActive = nullptr;
thread_local CommandContext* tCommand = nullptr;

bool isSmartCommand(PF_Cmd command) { return command == PF_Cmd_SMART_PRE_RENDER || command == PF_Cmd_SMART_RENDER; }

// A plug-in reads modifier keys with GetKeyState, which answers from the calling thread's own
// keyboard state; the host sets that state for the command and puts the real one back after.
class ShiftKeyState {
 public:
  explicit ShiftKeyState(bool down) {
    restore_ = GetKeyboardState(saved_) != 0;
    if (!restore_) return;
    BYTE keys[256];
    std::memcpy(keys, saved_, sizeof keys);
    const auto press = [down](BYTE& key) { key = static_cast<BYTE>((key & 0x01) | (down ? 0x80 : 0)); };
    press(keys[VK_SHIFT]);
    press(keys[VK_LSHIFT]);
    keys[VK_RSHIFT] &= 0x01;
    SetKeyboardState(keys);
  }
  ~ShiftKeyState() {
    if (restore_) SetKeyboardState(saved_);
  }
  ShiftKeyState(const ShiftKeyState&) = delete;
  ShiftKeyState& operator=(const ShiftKeyState&) = delete;

 private:
  BYTE saved_[256] = {};
  bool restore_ = false;
};

}  // namespace

CommandContext* currentCommand() { return tCommand; }

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
  if (gActive == nullptr) return;
  const std::lock_guard lock(gActive->mutex);
  gActive->records.notImplemented.emplace_back(function);
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

PF_ParamDef HostCore::paramAt(PF_ParamIndex index, A_long time, const OwnedWorld* input) const {
  PF_ParamDef def = params.at(static_cast<std::size_t>(index));
  if (index == 0) {
    def.u.ld = input != nullptr ? *input->world() : PF_EffectWorld{};
    return def;
  }
  const auto keys = keyframes.find(index);
  if (keys == keyframes.end() || keys->second.empty()) return def;
  // The latest keyframe at or before the time holds; before the first, the first.
  auto key = keys->second.upper_bound(time);
  if (key != keys->second.begin()) --key;
  def.u = key->second;
  return def;
}

void HostCore::admit(PF_Cmd command) {
  if (exclusiveInFlight || (!isSmartCommand(command) && smartInFlight > 0)) {
    throw HostError("a command cannot be sent while another one runs");
  }
  if (isSmartCommand(command)) {
    ++smartInFlight;
  } else {
    exclusiveInFlight = true;
  }
}

void HostCore::dismiss(PF_Cmd command) {
  if (isSmartCommand(command)) {
    --smartInFlight;
  } else {
    exclusiveInFlight = false;
  }
}

PF_Err HostCore::run(CommandContext& command, PF_ParamDef** commandParams, PF_EffectWorld* output, void* extra,
                     const CommandBody* body) {
  if (tCommand != nullptr) throw HostError("a command cannot be sent from inside another command");
  PF_FilterProc entry = nullptr;
  bool shiftDown = false;
  {
    const std::lock_guard lock(mutex);
    if (body == nullptr) {
      if (!plugin) throw HostError("no plug-in is loaded");
      entry = plugin->entry();
    }
    admit(command.command);
    shiftDown = options.shiftKeyDown;
    const A_long width = command.input != nullptr ? command.input->width() : options.width;
    const A_long height = command.input != nullptr ? command.input->height() : options.height;

    PF_InData& in = command.inData;
    in = PF_InData{};
    fillInteractCallbacks(in.inter);
    in.utils = &utils;
    in.effect_ref = effectRef();
    in.quality = options.quality;
    in.version = options.version;
    in.appl_id = options.applId;
    in.num_params = static_cast<A_long>(params.size());
    in.current_time = command.time;
    in.time_step = options.timeStep;
    in.total_time = options.totalTime;
    in.local_time_step = options.timeStep;
    in.time_scale = options.timeScale;
    in.field = PF_Field_FRAME;
    in.width = width;
    in.height = height;
    in.extent_hint = PF_LRect{0, 0, width, height};
    const SmartRequest* smart = command.smart != nullptr ? &command.smart->request : nullptr;
    in.downsample_x = smart != nullptr ? smart->downsampleX.value_or(options.downsampleX) : options.downsampleX;
    in.downsample_y = smart != nullptr ? smart->downsampleY.value_or(options.downsampleY) : options.downsampleY;
    in.pixel_aspect_ratio = PF_RationalScale{1, 1};
    in.global_data = globalData;
    in.sequence_data = sequenceData;
    in.pica_basicP = options.provideBasicSuite ? &basic : nullptr;

    PF_OutData& out = command.outData;
    out = PF_OutData{};
    out.global_data = globalData;
    out.sequence_data = sequenceData;
    out.width = width;
    out.height = height;

    accounts.beginCommand(command.command);
    handles.beginCommand();
  }

  // Closes the command's books, whether the plug-in returned or code run in its place threw.
  const auto close = [&] {
    tCommand = nullptr;
    const std::lock_guard lock(mutex);
    handles.endCommand();
    PF_OutData& out = command.outData;
    if (std::memchr(out.return_msg, 0, sizeof out.return_msg) == nullptr) {
      accounts.imbalance(accounts.where() + ": return_msg is not terminated within its 256 bytes");
      out.return_msg[sizeof out.return_msg - 1] = 0;
    }
    accounts.endCommand();
    lastInData = command.inData;
    lastOutData = out;
    dismiss(command.command);
  };
  PF_Err result = PF_Err_NONE;
  {
    const ShiftKeyState keys(shiftDown);
    tCommand = &command;
    try {
      result = body != nullptr
                   ? (*body)(command.inData, command.outData)
                   : entry(command.command, &command.inData, &command.outData, commandParams, output, extra);
    } catch (...) {
      close();
      throw;
    }
  }
  close();
  return result;
}

void HostCore::finishSmartRender(SmartRenderPass& pass) {
  void* data = std::exchange(pass.preOutput.pre_render_data, nullptr);
  const PF_DeletePreRenderDataFunc deleteData = pass.preOutput.delete_pre_render_data_func;
  // Data without a delete function is the plug-in's to lose: the host never frees it.
  if (data == nullptr || deleteData == nullptr) return;
  deleteData(data);
  const std::lock_guard lock(mutex);
  ++records.preRenderDataDeletions;
}

void HostCore::finishPendingSmartRender() {
  std::unique_ptr<SmartRenderPass> waiting;
  {
    const std::lock_guard lock(mutex);
    waiting = std::move(pending);
  }
  if (waiting) finishSmartRender(*waiting);
}

}  // namespace fxhost::detail
