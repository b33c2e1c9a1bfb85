// The Host's life, its state and the commands that carry no pixels.

#include "fxhost/host.h"

#include <cstring>

#include "fxhost/host_error.h"
#include "host_core.h"

namespace fxhost {

Host::Host(HostOptions options) : core_(std::make_unique<detail::HostCore>(std::move(options))) {}

Host::~Host() { core_->finishSmartRender(); }

void Host::loadPlugin(const std::string& path) { core_->plugin.emplace(PluginModule::load(path)); }

const PluginModule& Host::plugin() const {
  if (!core_->plugin) throw HostError("no plug-in is loaded");
  return *core_->plugin;
}

HostOptions& Host::options() { return core_->options; }
Faults& Host::faults() { return core_->faults; }
Records& Host::records() { return core_->records; }

AccountsReport Host::accounts() const {
  AccountsReport report = core_->accounts.report();
  for (std::string& message : core_->handles.outstanding()) report.imbalances.push_back(std::move(message));
  report.handlesLive = core_->handles.live();
  return report;
}

PF_Err Host::runWithParams(PF_Cmd command, PF_EffectWorld* output, void* extra, bool takeChangedValues) {
  std::vector<PF_ParamDef> copies = core_->params;
  copies.front() = core_->layerParam();
  std::vector<PF_ParamDef*> pointers;
  for (PF_ParamDef& copy : copies) {
    // In a command's params the union holds change flags, not the registration id.
    copy.uu.change_flags = PF_ChangeFlag_NONE;
    pointers.push_back(&copy);
  }
  const PF_Err result = core_->run(command, pointers.data(), output, extra);
  if (!takeChangedValues) return result;
  for (std::size_t i = 1; i < copies.size(); ++i) {
    if ((copies[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) != 0) core_->params[i].u = copies[i].u;
  }
  return result;
}

PF_Err Host::about() { return runWithParams(PF_Cmd_ABOUT, nullptr, nullptr, false); }

PF_Err Host::globalSetup() {
  const PF_Err result = core_->run(PF_Cmd_GLOBAL_SETUP, nullptr, nullptr, nullptr);
  core_->globalData = core_->outData.global_data;
  globalUp_ = result == PF_Err_NONE;
  return result;
}

PF_Err Host::globalSetdown() {
  const PF_Err result = core_->run(PF_Cmd_GLOBAL_SETDOWN, nullptr, nullptr, nullptr);
  core_->globalData = nullptr;
  globalUp_ = false;
  return result;
}

PF_Err Host::paramsSetup() {
  core_->params.resize(1);
  const PF_Err result = core_->run(PF_Cmd_PARAMS_SETUP, nullptr, nullptr, nullptr);
  const auto added = static_cast<A_long>(core_->params.size());
  if (result == PF_Err_NONE && core_->outData.num_params != added) {
    core_->accounts.imbalance("PF_Cmd_PARAMS_SETUP: num_params is " + std::to_string(core_->outData.num_params) +
                              " but " + std::to_string(added) + " parameters exist (with the input layer)");
  }
  return result;
}

PF_Err Host::takeSequenceData(PF_Err result) {
  core_->sequenceData = core_->outData.sequence_data;
  return result;
}

PF_Err Host::sequenceSetup() { return takeSequenceData(core_->run(PF_Cmd_SEQUENCE_SETUP, nullptr, nullptr, nullptr)); }

PF_Err Host::sequenceFlatten() {
  return takeSequenceData(core_->run(PF_Cmd_SEQUENCE_FLATTEN, nullptr, nullptr, nullptr));
}

PF_Err Host::sequenceResetup() {
  const PF_Handle stored = core_->sequenceData;
  const PF_Err result = takeSequenceData(core_->run(PF_Cmd_SEQUENCE_RESETUP, nullptr, nullptr, nullptr));
  // The data the instance was rebuilt from is the host's stored copy; the host lets it go.
  if (stored != nullptr && stored != core_->sequenceData && core_->handles.contains(stored)) {
    core_->handles.dispose(stored);
  }
  return result;
}

PF_Err Host::sequenceSetdown() {
  const PF_Err result = core_->run(PF_Cmd_SEQUENCE_SETDOWN, nullptr, nullptr, nullptr);
  core_->sequenceData = nullptr;
  return result;
}

PF_Err Host::getFlattenedSequenceData(std::vector<std::uint8_t>* flat) {
  const PF_Handle live = core_->sequenceData;
  const PF_Err result = core_->run(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA, nullptr, nullptr, nullptr);
  const PF_Handle copy = core_->outData.sequence_data;
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
  return core_->runEntry(nullptr, &body, command, nullptr, nullptr, nullptr);
}

PF_Err Host::shutdown() {
  core_->finishSmartRender();
  PF_Err first = PF_Err_NONE;
  if (core_->sequenceData != nullptr) first = sequenceSetdown();
  if (globalUp_) {
    const PF_Err result = globalSetdown();
    if (first == PF_Err_NONE) first = result;
  }
  return first;
}

int Host::paramCount() const { return static_cast<int>(core_->params.size()); }

PF_ParamDef& Host::param(PF_ParamIndex index) {
  if (index < 0 || index >= paramCount()) throw HostError("no parameter " + std::to_string(index));
  return core_->params[static_cast<std::size_t>(index)];
}

PF_Handle Host::globalData() const { return core_->globalData; }
PF_Handle Host::sequenceData() const { return core_->sequenceData; }

std::vector<std::uint8_t> Host::handleBytes(PF_Handle handle) const { return core_->handles.bytes(handle); }

void Host::setSequenceDataBytes(std::span<const std::uint8_t> bytes) {
  if (core_->sequenceData != nullptr) throw HostError("the instance still has sequence data");
  PF_Handle handle = core_->handles.allocate(bytes.size());
  if (!bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
  core_->sequenceData = handle;
}

const PF_InData& Host::lastInData() const { return core_->inData; }
const PF_OutData& Host::lastOutData() const { return core_->outData; }
std::string Host::returnMessage() const { return core_->outData.return_msg; }
const PF_PreRenderOutput& Host::lastPreRenderOutput() const { return lastPreRender_; }
void Host::setRequestRect(std::optional<PF_LRect> rect) { core_->requestRect = rect; }

}  // namespace fxhost
