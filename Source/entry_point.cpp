#include "entry_point.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "base_filter.h"
#include "param_registry.h"
#include "suite_registry.h"

namespace {

// The single effect object, made on the first command and destroyed at global setdown. Its
// storage is static; only its lifetime is managed here.
alignas(CustomFilter) unsigned char gEffectStorage[sizeof(CustomFilter)];
BaseFilter* gEffect = nullptr;
bool gInitialised = false;

constexpr UINT kJapaneseCodePage = 932;

// What a host gets for a command sent after global setdown: the effect object is gone and is not
// made again, so the command is refused without touching it.
constexpr char kShutDownText[] =
    "tessaline: the effect was already shut down (global setdown); the host must load it again before use.";

PF_Err dispatchToEffect(PF_Cmd command, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, void* extra) {
  PF_Err result = PF_Err_NONE;
  if (!gInitialised) {
    gEffect = new (gEffectStorage) CustomFilter();
    buildParamSet();
    result = gEffect->OnFirstCall(in_data, out_data, params, output);
    gInitialised = true;
  }
  if (gEffect == nullptr) {
    setReturnMessage(out_data, kShutDownText);
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  if (result == PF_Err_NONE) result = gEffect->Dispatch(command, in_data, out_data, params, output, extra);
  if (command == PF_Cmd_GLOBAL_SETDOWN) {
    gEffect->~BaseFilter();
    gEffect = nullptr;
  }
  return result;
}

}  // namespace

const char* hostErrorName(PF_Err code) {
  switch (code) {
    case PF_Err_NONE:
      return "PF_Err_NONE";
    case 1:
    case 2:
    case 3:
      return "";
    case PF_Err_OUT_OF_MEMORY:
      return "PF_Err_OUT_OF_MEMORY";
    case PF_Err_INTERNAL_STRUCT_DAMAGED:
      return "PF_Err_INTERNAL_STRUCT_DAMAGED";
    case PF_Err_INVALID_INDEX:
      return "PF_Err_INVALID_INDEX";
    case PF_Err_UNRECOGNIZED_PARAM_TYPE:
      return "PF_Err_UNRECOGNIZED_PARAM_TYPE";
    case PF_Err_INVALID_CALLBACK:
      return "PF_Err_INVALID_CALLBACK";
    case PF_Err_BAD_CALLBACK_PARAM:
      return "PF_Err_BAD_CALLBACK_PARAM";
    case PF_Interrupt_CANCEL:
      return "PF_Interrupt_CANCEL";
    case PF_Err_CANNOT_PARSE_KEYFRAME_TEXT:
      return "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT";
    default:
      return "unknown";
  }
}

void setReturnMessage(PF_OutData* out_data, const char* text) {
  if (out_data == nullptr || text == nullptr) return;
  constexpr std::size_t kMax = sizeof out_data->return_msg - 1;
  std::size_t kept = 0;
  while (text[kept] != 0) {
    const bool pair = IsDBCSLeadByteEx(kJapaneseCodePage, static_cast<BYTE>(text[kept])) && text[kept + 1] != 0;
    const std::size_t next = kept + (pair ? 2 : 1);
    if (next > kMax) break;
    kept = next;
  }
  std::memcpy(out_data->return_msg, text, kept);
  out_data->return_msg[kept] = 0;
}

extern "C" __declspec(dllexport) PF_Err EntryPointFunc(PF_Cmd command, PF_InData* in_data, PF_OutData* out_data,
                                                       PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  if (in_data == nullptr || in_data->appl_id != host_sdk::kApplIdAfterEffects) return PF_Err_BAD_CALLBACK_PARAM;
  // Whatever any code acquires through the call's registry is released when the call ends.
  AEUtil::SuiteRegistry suites(in_data->pica_basicP);
  if (in_data->pica_basicP == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  return runGuarded(out_data, [&] { return dispatchToEffect(command, in_data, out_data, params, output, extra); });
}
