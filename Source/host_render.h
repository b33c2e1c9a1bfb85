// Rendering a RenderJob over the host's buffers: the choice among the nine kernels and the frame they
// share (size check, copy stage, scratch edge map from the host, scan, release).
#pragma once

#include "render_job.h"

// Picks the kernel by pixel format and key mode and runs it. 514 for a format none of the three,
// with the output untouched. Throws the bare host error 516 when a suite cannot be had.
PF_Err ProcessRenderJob(const RenderJob& job);
