#pragma once
// Program mode `dialog`: the options command as After Effects sends it, so that a person (or a
// test) can use the plug-in's dialog.

#include <ostream>

#include "program_options.h"

namespace fxhost::program {

// Sets the plug-in up under a visible main window of the host's own, gives the instance the
// command line's parameter values, sends the options command and reports what became of the
// settings file. Returns the program's exit code.
int runDialogSession(const ProgramOptions& options, std::ostream& out, std::ostream& log);

}  // namespace fxhost::program
