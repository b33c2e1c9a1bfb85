#include "base_filter.h"

#include "host_render.h"

PF_Err BaseFilter::ProcessJob(const RenderJob&) { return PF_Err_INTERNAL_STRUCT_DAMAGED; }

PF_Err CustomFilter::ProcessJob(const RenderJob& job) { return ProcessRenderJob(job); }
