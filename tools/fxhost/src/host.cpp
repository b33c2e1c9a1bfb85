// The Host's life, its state and the commands that carry no pixels.

#include "fxhost/host.h"

#include <cstring>

#include "fxhost/host_error.h"
#include "host_core.h"

namespace fxhost {

using Lock = std::lock_guard<std::mutex>;

Host::Host(HostOptions options) : core_(std::make_unique<detail::HostCore>(std::move(options))) {}

Host::~Host() { core_->finishPendingSmartRender(); }

void Host::loadPlugin(const std::string& path) {
  PluginModule module = PluginModule::load(path);
  const Lock lock(core_->mutex);
  core_->plugin.emplace(std::move(module));
}

const PluginModule& Host::plugin() const {
  if (!core_->plugin) throw HostError("no plug-in is loaded");
  return *core_->plugin;
}

HostOptions& Host::options() { return core_->options; }
Faults& Host::faults() { return core_->faults; }
Records& Host::records() { return core_->records; }

AccountsReport Host::accounts() const {
  const Lock lock(core_->mutex);
  AccountsReport report = core_->accounts.report();
  for (std::string& message : core_->handles.outstanding()) report.imbalances.push_back(std::move(message));
  report.handlesLive = core_->handles.live();
  return report;
}

A_long Host::currentTime() const {
  const Lock lock(core_->mutex);
  return core_->options.currentTime;
}

PF_Err Host::runWithParams(PF_Cmd command, PF_EffectWorld* output, void* extra, bool takeChangedValues,
                           OwnedWorld* input, std::optional<A_long> time) {
  detail::CommandContext context;
  context.command = command;
  context.input = input;
  std::vector<PF_ParamDef> copies;
  {
    const Lock lock(core_->mutex);
    context.time = time.value_or(core_->options.currentTime);
    for (std::size_t i = 0; i < core_->params.size(); ++i) {
      copies.push_back(core_->paramAt(static_cast<PF_ParamIndex>(i), context.time, input));
      // In a command's params the union holds change flags, not the registration id.
      copies.back().uu.change_flags = PF_ChangeFlag_NONE;
    }
  }
  std::vector<PF_ParamDef*> pointers;
  for (PF_ParamDef& copy : copies) pointers.push_back(&copy);
  const PF_Err result = core_->run(context, pointers.data(), output, extra);
  if (!takeChangedValues) return result;
  const Lock lock(core_->mutex);
  for (std::size_t i = 1; i < copies.size() && i < core_->params.size(); ++i) {
    if ((copies[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) != 0) core_->params[i].u = copies[i].u;
  }
  return result;
}

PF_Err Host::runPlain(PF_Cmd command, PF_OutData* out) {
  detail::CommandContext context;
  context.command = command;
  context.time = currentTime();
  const PF_Err result = core_->run(context, nullptr, nullptr, nullptr);
  if (out != nullptr) *out = context.outData;
  return result;
}

PF_Err Host::about() { return runWithParams(PF_Cmd_ABOUT, nullptr, nullptr, false); }

PF_Err Host::globalSetup() {
  PF_OutData out{};
  const PF_Err result = runPlain(PF_Cmd_GLOBAL_SETUP, &out);
  const Lock lock(core_->mutex);
  core_->globalData = out.global_data;
  globalUp_ = result == PF_Err_NONE;
  return result;
}

PF_Err Host::globalSetdown() {
  const PF_Err result = runPlain(PF_Cmd_GLOBAL_SETDOWN);
  const Lock lock(core_->mutex);
  core_->globalData = nullptr;
  globalUp_ = false;
  return result;
}

PF_Err Host::paramsSetup() {
  {
    const Lock lock(core_->mutex);
    core_->params.resize(1);
  }
  PF_OutData out{};
  const PF_Err result = runPlain(PF_Cmd_PARAMS_SETUP, &out);
  const Lock lock(core_->mutex);
  const auto added = static_cast<A_long>(core_->params.size());
  if (result == PF_Err_NONE && out.num_params != added) {
    core_->accounts.imbalance("PF_Cmd_PARAMS_SETUP: num_params is " + std::to_string(out.num_params) + " but " +
                              std::to_string(added) + " parameters exist (with the input layer)");
  }
  return result;
}

PF_Err Host::runSequenceCommand(PF_Cmd command) {
  PF_OutData out{};
  const PF_Err result = runPlain(command, &out);
  const Lock lock(core_->mutex);
  core_->sequenceData = out.sequence_data;
  return result;
}

PF_Err Host::sequenceSetup() { return runSequenceCommand(PF_Cmd_SEQUENCE_SETUP); }

PF_Err Host::sequenceFlatten() { return runSequenceCommand(PF_Cmd_SEQUENCE_FLATTEN); }

PF_Err Host::sequenceResetup() {
  const PF_Handle stored = sequenceData();
  const PF_Err result = runSequenceCommand(PF_Cmd_SEQUENCE_RESETUP);
  // The data the instance was rebuilt from is the host's stored copy; the host lets it go.
  const Lock lock(core_->mutex);
  if (stored != nullptr && stored != core_->sequenceData && core_->handles.contains(stored)) {
    core_->handles.dispose(stored);
  }
  return result;
}

PF_Err Host::sequenceSetdown() {
  const PF_Err result = runPlain(PF_Cmd_SEQUENCE_SETDOWN);
  const Lock lock(core_->mutex);
  core_->sequenceData = nullptr;
  return result;
}

PF_Err Host::getFlattenedSequenceData(std::vector<std::uint8_t>* flat) {
  const PF_Handle live = sequenceData();
  PF_OutData out{};
  const PF_Err result = runPlain(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA, &out);
  const PF_Handle copy = out.sequence_data;
  const Lock lock(core_->mutex);
  if (flat != nullptr) *flat = core_->handles.bytes(copy);
  if (copy != live && copy != nullptr && core_->handles.contains(copy)) core_->handles.dispose(copy);
  return result;
}

PF_Err Host::doDialog() { return runWithParams(PF_Cmd_DO_DIALOG, nullptr, nullptr, true); }

PF_Err Host::updateParamsUI() { return runWithParams(PF_Cmd_UPDATE_PARAMS_UI, nullptr, nullptr, false); }

PF_Err Host::userChangedParam(PF_ParamIndex index) {
  PF_UserChangedParamExtra extra{index};
  return runWithParams(PF_Cmd_USER_CHANGED_PARAM, nullptr, &extra, true);
}

PF_Err Host::sendCommand(PF_Cmd command, void* extra) { return runWithParams(command, nullptr, extra, false); }

PF_Err Host::runInProcess(PF_Cmd command, const std::function<PF_Err(PF_InData&, PF_OutData&)>& body) {
  detail::CommandContext context;
  context.command = command;
  context.time = currentTime();
  return core_->run(context, nullptr, nullptr, nullptr, &body);
}

PF_Err Host::shutdown() {
  core_->finishPendingSmartRender();
  PF_Err first = PF_Err_NONE;
  if (sequenceData() != nullptr) first = sequenceSetdown();
  if (globalUp_) {
    const PF_Err result = globalSetdown();
    if (first == PF_Err_NONE) first = result;
  }
  return first;
}

int Host::paramCount() const {
  const Lock lock(core_->mutex);
  return static_cast<int>(core_->params.size());
}

PF_ParamDef& Host::param(PF_ParamIndex index) {
  if (index < 0 || index >= paramCount()) throw HostError("no parameter " + std::to_string(index));
  return core_->params[static_cast<std::size_t>(index)];
}

void Host::setKeyframe(A_long time, PF_ParamIndex index, const PF_ParamDefUnion& value) {
  const Lock lock(core_->mutex);
  if (index < 1 || static_cast<std::size_t>(index) >= core_->params.size()) {
    throw HostError("no parameter " + std::to_string(index) + " to set a keyframe of");
  }
  core_->keyframes[index][time] = value;
}

void Host::clearKeyframes() {
  const Lock lock(core_->mutex);
  core_->keyframes.clear();
}

PF_Handle Host::globalData() const {
  const Lock lock(core_->mutex);
  return core_->globalData;
}

PF_Handle Host::sequenceData() const {
  const Lock lock(core_->mutex);
  return core_->sequenceData;
}

std::vector<std::uint8_t> Host::handleBytes(PF_Handle handle) const {
  const Lock lock(core_->mutex);
  return core_->handles.bytes(handle);
}

void Host::setSequenceDataBytes(std::span<const std::uint8_t> bytes) {
  const Lock lock(core_->mutex);
  if (core_->sequenceData != nullptr) throw HostError("the instance still has sequence data");
  PF_Handle handle = core_->handles.allocate(bytes.size(), core_->options.guardHandleEnds);
  if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
  core_->sequenceData = handle;
}

const PF_InData& Host::lastInData() const { return core_->lastInData; }
const PF_OutData& Host::lastOutData() const { return core_->lastOutData; }

std::string Host::returnMessage() const {
  const Lock lock(core_->mutex);
  return core_->lastOutData.return_msg;
}

const PF_PreRenderOutput& Host::lastPreRenderOutput() const { return core_->lastPreRender; }

}  // namespace fxhost
