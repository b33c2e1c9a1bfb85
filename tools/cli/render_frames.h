// Smoothing a list of frames on several cores. Each worker thread takes the next frame and reads,
// smooths and writes it, so the reading, smoothing and writing of different frames overlap and no
// more frames than workers are in memory at once, however long the shot.
#pragma once

#include <vector>

#include "options.h"
#include "progress.h"

namespace tessaline::cli {

// Frames in flight when --threads is not given: one per core this process may run on (which a
// farm's scheduler or taskset may limit), at least one.
int DefaultThreads();

// Smooths `frames` (any numbers for a single file) as `options` say, reporting to `progress`.
// A frame that cannot be read is reported and left, and the others go on (with --strict the run
// stops); a frame that cannot be smoothed or written stops the run, since the next one would fail
// the same way. Frames already written stay: each output file is complete. With --via-plugin each
// worker renders through one session of the plug-in's host; a frame the plug-in refuses fails
// alone. False when a session ended badly (the plug-in's accounts unbalanced), which was reported.
bool RenderFrames(const Options& options, const std::vector<int>& frames, Progress& progress);

}  // namespace tessaline::cli
