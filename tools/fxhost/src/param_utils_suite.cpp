// "PF Param Utils Suite" 2 (table PF_ParamUtilsSuite1) and 3: PF_UpdateParamUI; the rest of both
// tables is not offered.

#include "ae_suites.h"
#include "host_core.h"
#include "not_implemented.h"

namespace fxhost::detail {
namespace {

template <A_long Version>
PF_Err updateParamUI(PF_ProgPtr ref, PF_ParamIndex index, const PF_ParamDef* def) {
  LockedHost host;
  if (!host->checkEffectRef(ref, "PF_UpdateParamUI")) return PF_Err_BAD_CALLBACK_PARAM;
  ParamUIUpdateRecord& record = host->records.uiUpdates.emplace_back();
  record.suiteVersion = Version;
  record.index = index;
  if (def != nullptr) record.def = *def;
  if (host->faults.updateParamUIError != 0) return record.result = host->faults.updateParamUIError;
  if (def == nullptr) return record.result = PF_Err_BAD_CALLBACK_PARAM;
  if (index < 0 || static_cast<std::size_t>(index) >= host->params.size()) return record.result = PF_Err_INVALID_INDEX;
  // The call changes how the control looks, never its value.
  PF_ParamDef& current = host->params[static_cast<std::size_t>(index)];
  current.ui_flags = def->ui_flags;
  current.ui_width = def->ui_width;
  current.ui_height = def->ui_height;
  std::copy(std::begin(def->name), std::end(def->name), std::begin(current.name));
  return record.result = PF_Err_NONE;
}

PF_ParamUtilsSuite1 makeVersion2() {
  PF_ParamUtilsSuite1 suite{};
  suite.PF_UpdateParamUI = updateParamUI<kPFParamUtilsSuiteVersion1>;
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_GetCurrentStateObsolete);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_HasParamChangedObsolete);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_HaveInputsChangedOverTimeSpanObsolete);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_IsIdenticalCheckout);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_FindKeyframeTime);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_GetKeyframeCount);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_CheckoutKeyframe);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_CheckinKeyframe);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 2: ", PF_KeyIndexToTime);
  return suite;
}

PF_ParamUtilsSuite3 makeVersion3() {
  PF_ParamUtilsSuite3 suite{};
  suite.PF_UpdateParamUI = updateParamUI<kPFParamUtilsSuiteVersion3>;
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_GetCurrentState);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_AreStatesIdentical);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_IsIdenticalCheckout);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_FindKeyframeTime);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_GetKeyframeCount);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_CheckoutKeyframe);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_CheckinKeyframe);
  FXHOST_NOT_IMPLEMENTED(suite, "PF Param Utils Suite 3: ", PF_KeyIndexToTime);
  return suite;
}

}  // namespace

const void* paramUtilsSuiteTable(A_long version) {
  static const PF_ParamUtilsSuite1 suite2 = makeVersion2();
  static const PF_ParamUtilsSuite3 suite3 = makeVersion3();
  if (version == kPFParamUtilsSuiteVersion1) return &suite2;
  if (version == kPFParamUtilsSuiteVersion3) return &suite3;
  return nullptr;
}

}  // namespace fxhost::detail
