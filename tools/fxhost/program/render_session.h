#pragma once
// Program mode: one plug-in set up once, then frame after frame through it.

#include <ostream>

#include "fxhost/frame_protocol.h"
#include "program_options.h"

namespace fxhost::program {

using WriteBytes = std::function<bool(const void* bytes, std::size_t count)>;

// Runs the session of frame_protocol.h and returns the program's exit code; the accounts and any
// failure to set up go to `log`.
int runRenderSession(const ProgramOptions& options, const protocol::ReadBytes& read, const WriteBytes& write,
                     std::ostream& log);

}  // namespace fxhost::program
