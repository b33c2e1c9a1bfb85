// What the engine makes of a RenderJob's values. The values come from the host's parameters, and
// those from projects and the settings file, which nobody range-checks: any 32-bit value must give
// a safe render.
#pragma once

#include "engine.h"
#include "render_job.h"

// The engine's parameters, each brought into the engine's range: thresholds 0 to 1020, softness
// and bias 0 to 100 (a stored softness of -5 renders as 0, the copy alone).
tessaline::Params EngineParams(const RenderJob& job);

// Plain, key or inverted key: the key is on for any non-zero checkbox byte.
tessaline::SourceMode SourceModeOf(const RenderJob& job);
