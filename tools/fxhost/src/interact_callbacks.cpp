// The interaction callbacks (in_data->inter): parameters are added during parameter setup and
// checked out and in afterwards. Audio and custom user interfaces are not offered.

#include <cstring>

#include "host_core.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

// What a failed checkout leaves in the caller's definition: never a usable value.
constexpr int kFailedCheckoutByte = 0xCD;

PF_Err checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long timeStep, A_u_long timeScale,
                     PF_ParamDef* def) {
  LockedHost host;
  ParamCheckoutRecord& record = host->records.paramCheckouts.emplace_back();
  record = ParamCheckoutRecord{host->accounts.command(), index, time, timeStep, timeScale, PF_Err_NONE};
  if (!host->checkEffectRef(ref, "checkout_param") || def == nullptr) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  if (index < 0 || static_cast<std::size_t>(index) >= host->params.size()) {
    std::memset(static_cast<void*>(def), kFailedCheckoutByte, sizeof *def);
    return record.result = PF_Err_INVALID_INDEX;
  }
  const auto& faults = host->faults.paramCheckoutErrors;
  if (const auto fault = faults.find(index); fault != faults.end()) {
    std::memset(static_cast<void*>(def), kFailedCheckoutByte, sizeof *def);
    return record.result = fault->second;
  }
  const CommandContext* current = currentCommand();
  *def = host->paramAt(index, time, current != nullptr ? current->input : nullptr);
  host->accounts.paramCheckedOut(def, index);
  return PF_Err_NONE;
}

PF_Err checkinParam(PF_ProgPtr ref, PF_ParamDef* def) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "checkin_param") || def == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const auto index = host->accounts.paramCheckedIn(def);
  if (!index) return PF_Err_BAD_CALLBACK_PARAM;
  const auto fault = host->faults.paramCheckinErrors.find(*index);
  return fault != host->faults.paramCheckinErrors.end() ? fault->second : PF_Err_NONE;
}

PF_Err addParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDef* def) {
  LockedHost host;
  AddParamRecord& record = host->records.addedParams.emplace_back();
  record.index = index;
  if (def != nullptr) record.def = *def;
  // The definition only points at its label, which need not outlive the call.
  if (def != nullptr && def->param_type == PF_Param_CHECKBOX && def->u.bd.u.nameptr != nullptr) {
    record.checkboxLabel = def->u.bd.u.nameptr;
  }
  if (!host->checkEffectRef(ref, "add_param") || def == nullptr) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  if (host->accounts.command() != PF_Cmd_PARAMS_SETUP) {
    host->accounts.imbalance(host->accounts.where() + ": add_param outside PF_Cmd_PARAMS_SETUP");
    return record.result = PF_Err_BAD_CALLBACK_PARAM;
  }
  const auto next = static_cast<PF_ParamIndex>(host->params.size());
  if (index != -1 && index != next) return record.result = PF_Err_INVALID_INDEX;
  if (const auto fault = host->faults.addParamErrors.find(next); fault != host->faults.addParamErrors.end()) {
    return record.result = fault->second;
  }
  if (std::memchr(def->name, 0, sizeof def->name) == nullptr) {
    host->accounts.imbalance(host->accounts.where() + ": parameter " + std::to_string(next) +
                             " has a name without a terminator in its 32 characters");
  }
  host->params.push_back(*def);
  return PF_Err_NONE;
}

PF_Err abortCallback(PF_ProgPtr ref) {
  LockedHost host;
  return host->checkEffectRef(ref, "abort") ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err progress(PF_ProgPtr ref, A_long, A_long) {
  LockedHost host;
  return host->checkEffectRef(ref, "progress") ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

}  // namespace

void fillInteractCallbacks(PF_InteractCallbacks& inter) {
  inter = PF_InteractCallbacks{};
  inter.checkout_param = checkoutParam;
  inter.checkin_param = checkinParam;
  inter.add_param = addParam;
  inter.abort = abortCallback;
  inter.progress = progress;
  FXHOST_NOT_IMPLEMENTED(inter, "interaction callbacks: ", register_ui);
  FXHOST_NOT_IMPLEMENTED(inter, "interaction callbacks: ", checkout_layer_audio);
  FXHOST_NOT_IMPLEMENTED(inter, "interaction callbacks: ", checkin_layer_audio);
  FXHOST_NOT_IMPLEMENTED(inter, "interaction callbacks: ", get_audio_data);
}

}  // namespace fxhost::detail
