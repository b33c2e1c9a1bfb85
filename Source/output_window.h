// A smart render asked for part of the layer. The smoothing of a pixel follows the stairs along its
// whole row and column, so the whole input is smoothed (into a scratch world) and only the window
// the host asked for is copied into its output.
#pragma once

#include <functional>

#include "render_job.h"

// True when the output world holds exactly the input world's pixels: same size, same place in the
// layer. The kernels then write the output directly, with no scratch world and no extra copy.
bool outputCoversInput(const PF_EffectWorld& input, const PF_EffectWorld& output);

// Renders the job's input whole through `render` into a scratch world from "PF World Suite" 2 and
// copies the output world's window of it, placed by both worlds' origins in the layer. Output pixels
// the input does not reach become transparent black (zero in every format). Returns the render's or
// the host's error, 514 for an unknown pixel format (output untouched); throws the bare host error
// 516 when the suite cannot be had. The scratch world is disposed of on every path.
PF_Err renderOutputWindow(const RenderJob& job, const std::function<PF_Err(const RenderJob&)>& render);
