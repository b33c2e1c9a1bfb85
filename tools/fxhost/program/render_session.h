#pragma once
// Program mode: one plug-in set up once, then frame after frame through it.

#include <ostream>

#include "frame_pipeline.h"
#include "fxhost/frame_protocol.h"
#include "program_options.h"

namespace fxhost::program {

// Runs the session of frame_protocol.h and returns the program's exit code; the accounts and any
// failure to set up go to `log`. Frame k (from 0) renders at time k * time step, with its slots
// set as keyframes at that time, on up to options.threads threads at once.
int runRenderSession(const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                     std::ostream& log);

}  // namespace fxhost::program
