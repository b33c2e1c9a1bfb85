// The effect class: one virtual operation per host command, in a fixed slot order, and the
// dispatch from command numbers to them. The single effect object lives in the entry point.
#pragma once

#include "ae_effect.h"
#include "ae_smart_render.h"
#include "render_job.h"

class BaseFilter {
 public:
  BaseFilter();
  virtual ~BaseFilter();
  BaseFilter(const BaseFilter&) = delete;
  BaseFilter& operator=(const BaseFilter&) = delete;

  // Calls the operation of `command` with the arguments it takes; 0 for commands without one.
  virtual PF_Err Dispatch(PF_Cmd command, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                          PF_LayerDef* output, void* extra);
  virtual PF_Err About(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
  virtual PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
  virtual PF_Err GlobalSetdown(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                               PF_LayerDef* output);
  virtual PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
  virtual PF_Err UserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                  PF_LayerDef* output, void* extra);
  virtual PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                PF_LayerDef* output);
  virtual PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
  virtual PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, void* extra);
  virtual PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, void* extra);
  virtual PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data);
  virtual PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data);
  virtual PF_Err SequenceFlatten(PF_InData* in_data, PF_OutData* out_data);
  virtual PF_Err GetFlattenedSequenceData(PF_InData* in_data, PF_OutData* out_data);
  virtual PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data);
  virtual PF_Err QueryDynamicFlags(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                   PF_LayerDef* output);
  virtual PF_Err Event(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                       void* extra);
  virtual PF_Err ArbitraryCallback(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                   PF_LayerDef* output, void* extra);
  virtual PF_Err PreRenderRects(PF_InData* in_data, PF_OutData* out_data, void* extra, RenderJob& job);
  virtual PF_Err BeforeRender(PF_InData* in_data, PF_OutData* out_data, void* extra, RenderJob& job);
  // Data in a format the effect does not know becomes a new default record.
  virtual PF_Err ConvertSequenceData(PF_InData* in_data, PF_OutData* out_data);
  // Work done once, on the first command of the process, before it is dispatched.
  virtual PF_Err OnFirstCall(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
  // Renders a filled-in job. The base class has no kernels.
  virtual PF_Err ProcessJob(const RenderJob& job);
};

class CustomFilter final : public BaseFilter {
 public:
  ~CustomFilter() override;
  // Picks one of the nine kernels by the job's pixel format and key mode and runs it.
  PF_Err ProcessJob(const RenderJob& job) override;
};

// The RenderJob every render starts from, before the parameters are read: the built-in defaults,
// no host blocks or worlds, no pixel format.
RenderJob prefilledRenderJob();
