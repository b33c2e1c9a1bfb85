// The commands that describe the effect to the host: the About box, global and parameter setup,
// and keeping the colour-key controls enabled only while keying is on.

#include <windows.h>

#include <vector>

#include "ae_suites.h"
#include "base_filter.h"
#include "effect_identity.h"
#include "host_version.h"
#include "param_registry.h"
#include "settings_file.h"
#include "suite_registry.h"
#include "ui_language.h"

static_assert(TESSALINE_EFFECT_VERSION ==
              PF_VERSION(TESSALINE_VERSION_MAJOR, TESSALINE_VERSION_MINOR, TESSALINE_VERSION_BUGFIX,
                         PF_Stage_RELEASE, TESSALINE_VERSION_BUILD));
static_assert(TESSALINE_OUT_FLAGS == (PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING | PF_OutFlag_I_DO_DIALOG |
                                      PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI));
static_assert(TESSALINE_OUT_FLAGS2 ==
              (PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS | PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG |
               PF_OutFlag2_I_AM_THREADSAFE | PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE |
               PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA | PF_OutFlag2_SUPPORTS_THREADED_RENDERING));

namespace {

// Thrown when "PF Param Utils Suite" cannot be had: a value of the host's error numbering that is
// not a plain integer, so the entry point reports it as a failure nobody could name.
enum class MissingParamUtils : A_long { kCode = PF_Err_BAD_CALLBACK_PARAM };

// The parameter's control is not greyed out in the host's current definition.
bool enabled(const PF_ParamDef& def) { return (def.ui_flags & PF_PUI_DISABLED) == 0; }

// Whether a controller's current value switches the parameters it controls on.
bool switchesOn(const PF_ParamDef& controller) {
  switch (controller.param_type) {
    case PF_Param_CHECKBOX:
      return controller.u.bd.value != 0;
    case PF_Param_POPUP:
      return controller.u.pd.value != 1;
    case PF_Param_LAYER: {
      const auto* bytes = reinterpret_cast<const unsigned char*>(&controller.u);
      for (int i = 0; i < 8; ++i)
        if (bytes[i] != 0) return true;
      return false;
    }
    default:
      return false;
  }
}

}  // namespace

PF_Err BaseFilter::About(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  const AEUtil::Language language = AEUtil::queryUiLanguage(in_data);
  const char* credit = AEUtil::productText(1, language);
  const auto format = in_data->utils->ansi.sprintf;
  if (GetKeyState(VK_SHIFT) < 0) {
    format(out_data->return_msg, "%s %d.%d.%d %s build:%d\r\r%s", "tessaline", TESSALINE_VERSION_MAJOR,
            TESSALINE_VERSION_MINOR, TESSALINE_VERSION_BUGFIX, "Release", TESSALINE_VERSION_BUILD, credit);
  } else {
    format(out_data->return_msg, "%s %d.%d.%d %s\r\r%s", "tessaline", TESSALINE_VERSION_MAJOR,
            TESSALINE_VERSION_MINOR, TESSALINE_VERSION_BUGFIX, "Release", credit);
  }
  return PF_Err_NONE;
}

PF_Err BaseFilter::GlobalSetup(PF_InData*, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  out_data->my_version = TESSALINE_EFFECT_VERSION;
  out_data->out_flags = TESSALINE_OUT_FLAGS;
  out_data->out_flags2 = TESSALINE_OUT_FLAGS2;
  return PF_Err_NONE;
}

PF_Err BaseFilter::ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*) {
  char path[kSettingsPathSize] = "";
  const char* settings = nullptr;
  if (isLegacyHost(in_data)) {
    clearSettingsSection();
  } else {
    // Without a usable path the descriptors read nothing and take their built-in defaults.
    if (settingsFilePath(path)) settings = path;
    useSettingsSection();
  }
  const ParamRegistry& registry = paramRegistry();
  const PF_Err err =
      forEachDescriptor([&](BaseParam& d) { return d.Add(in_data, d.id, settings); });
  out_data->num_params = registry.nextIndex;
  return err;
}

PF_Err BaseFilter::UpdateParamsUI(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PF_LayerDef*) {
  const bool newSuite = hostVersionCode(in_data) >= 110;
  const AEUtil::ScopedSuite suite(in_data->pica_basicP, kPFParamUtilsSuite,
                                  newSuite ? kPFParamUtilsSuiteVersion3 : kPFParamUtilsSuiteVersion1);
  if (suite.table() == nullptr) throw MissingParamUtils::kCode;
  // Both versions begin with PF_UpdateParamUI.
  const auto updateParamUI = newSuite ? suite.as<PF_ParamUtilsSuite3>()->PF_UpdateParamUI
                                      : suite.as<PF_ParamUtilsSuite1>()->PF_UpdateParamUI;

  const ParamRegistry& registry = paramRegistry();
  std::vector<int> state(static_cast<std::size_t>(registry.paramCount), -1);
  PF_Err firstFailure = PF_Err_NONE;
  for (A_long i = 0; i < registry.paramCount; ++i) {
    const BaseParam* descriptor = registry.at(static_cast<std::size_t>(i));
    if (descriptor == nullptr) continue;
    const PF_ParamDef& current = *params[i];
    const auto c = static_cast<A_long>(descriptor->controllerIndex);
    if (c == 0 || c == i) {
      state[i] = enabled(current) ? 1 : 0;
    } else {
      state[i] = c < registry.paramCount && state[c] == 1 && switchesOn(*params[c]) ? 1 : 0;
    }
    if (firstFailure != PF_Err_NONE || state[i] == (enabled(current) ? 1 : 0)) continue;
    // Only definitions whose greying changes go to the host.
    PF_ParamDef changed = current;
    if (state[i] == 1) {
      changed.ui_flags &= ~PF_PUI_DISABLED;
    } else {
      changed.ui_flags |= PF_PUI_DISABLED;
    }
    firstFailure = updateParamUI(in_data->effect_ref, i, &changed);
  }
  return firstFailure;
}
