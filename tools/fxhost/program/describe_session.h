#pragma once
// Program mode `describe`: what a host learns of a plug-in by setting it up once.

#include <ostream>

#include "program_options.h"

namespace fxhost::program {

// Loads the plug-in, sends global, parameter and sequence setup, asks for the flattened sequence
// data and the about text, sets everything down, and writes one JSON object to `out` (see
// describeUsage). Returns the program's exit code; failures are explained on `log`.
int runDescribeSession(const ProgramOptions& options, std::ostream& out, std::ostream& log);

}  // namespace fxhost::program
