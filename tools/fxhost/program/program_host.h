#pragma once
// What every mode that runs a plug-in shares: its exit codes and a host made as the command line
// says, with the plug-in loaded.

#include <ostream>

#include "fxhost/host.h"
#include "program_options.h"

namespace fxhost::program {

inline constexpr int kExitSuccess = 0;      // every command succeeded and the accounts balance
inline constexpr int kExitSetupFailed = 1;  // a bad command line, or a plug-in that cannot be loaded or set up
inline constexpr int kExitFailed = 2;       // render: a malformed stream; describe: a command failed
inline constexpr int kExitImbalance = 3;    // the accounts do not balance

// Refuses the suites the command line names and loads the plug-in: false, with the reason on
// `log`, when it cannot be loaded.
bool loadPlugin(Host& host, const ProgramOptions& options, std::ostream& log);

}  // namespace fxhost::program
