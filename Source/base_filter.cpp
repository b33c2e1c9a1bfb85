#include "base_filter.h"

#include <clocale>

#include "host_render.h"
#include "option_dialog.h"

BaseFilter::BaseFilter() {
  // Texts are formatted the way the user's own settings say.
  std::setlocale(LC_ALL, "");
}

BaseFilter::~BaseFilter() = default;

PF_Err BaseFilter::Dispatch(PF_Cmd command, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                            PF_LayerDef* output, void* extra) {
  switch (command) {
    case PF_Cmd_ABOUT:
      return About(in_data, out_data, params, output);
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetup(in_data, out_data, params, output);
    case PF_Cmd_GLOBAL_SETDOWN:
      return GlobalSetdown(in_data, out_data, params, output);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data, params, output);
    case PF_Cmd_SEQUENCE_SETUP:
      return SequenceSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_RESETUP:
      return SequenceResetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_FLATTEN:
      return SequenceFlatten(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return SequenceSetdown(in_data, out_data);
    case PF_Cmd_DO_DIALOG:
      // Whatever happens in the dialog, the command succeeds.
      FxOptionDlg::doOptionsDialog(in_data, params);
      return PF_Err_NONE;
    case PF_Cmd_RENDER:
      return Render(in_data, out_data, params, output);
    case PF_Cmd_USER_CHANGED_PARAM:
      return UserChangedParam(in_data, out_data, params, output, extra);
    case PF_Cmd_UPDATE_PARAMS_UI:
      return UpdateParamsUI(in_data, out_data, params, output);
    case PF_Cmd_EVENT:
      return Event(in_data, out_data, params, output, extra);
    case PF_Cmd_QUERY_DYNAMIC_FLAGS:
      return QueryDynamicFlags(in_data, out_data, params, output);
    case PF_Cmd_ARBITRARY_CALLBACK:
      return ArbitraryCallback(in_data, out_data, params, output, extra);
    case PF_Cmd_SMART_PRE_RENDER:
      return SmartPreRender(in_data, out_data, extra);
    case PF_Cmd_SMART_RENDER:
      return SmartRender(in_data, out_data, extra);
    case PF_Cmd_GET_FLATTENED_SEQUENCE_DATA:
      return GetFlattenedSequenceData(in_data, out_data);
    default:
      return PF_Err_NONE;
  }
}

PF_Err BaseFilter::GlobalSetdown(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

PF_Err BaseFilter::UserChangedParam(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
  return PF_Err_NONE;
}

// The flags stay as global setup reported them.
PF_Err BaseFilter::QueryDynamicFlags(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

PF_Err BaseFilter::Event(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) { return PF_Err_NONE; }

PF_Err BaseFilter::ArbitraryCallback(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
  return PF_Err_NONE;
}

PF_Err BaseFilter::BeforeRender(PF_InData*, PF_OutData*, void*, RenderJob&) { return PF_Err_NONE; }

PF_Err BaseFilter::ConvertSequenceData(PF_InData* in_data, PF_OutData* out_data) {
  return SequenceSetup(in_data, out_data);
}

PF_Err BaseFilter::OnFirstCall(PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*) { return PF_Err_NONE; }

PF_Err BaseFilter::ProcessJob(const RenderJob&) { return PF_Err_INTERNAL_STRUCT_DAMAGED; }

CustomFilter::~CustomFilter() = default;

PF_Err CustomFilter::ProcessJob(const RenderJob& job) { return ProcessRenderJob(job); }

RenderJob prefilledRenderJob() {
  RenderJob job{};
  job.colorThreshold = 10;
  job.softness = 70;
  job.bias = 0;
  job.colorKeyEnable = 0;
  job.keyColor = PF_Pixel{255, 255, 255, 255};
  job.keyColorThreshold = 0;
  job.invert = 0;
  job.pixelFormat = PF_PixelFormat_INVALID;
  return job;
}
