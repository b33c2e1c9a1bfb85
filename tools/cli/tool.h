// The command-line tool from arguments to exit status, kept apart from main() so that tests can run
// it in-process.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine.h"
#include "image_io.h"

namespace tessaline::cli {

// Smooths `in` into a new image of the same kind; `edgePixels`, if given, receives the number of
// pixels the engine's edge map marks. Throws CliError if the engine refuses.
Image RenderImage(const Image& in, const Params& params, SourceMode mode, std::int64_t* edgePixels = nullptr);

// Runs the tool on the arguments that follow the program name: help goes to `out`, progress,
// warnings, errors and the summary to `err`, with a progress bar when `errIsTerminal`. Returns 0
// on success, 2 for a bad command line and 1 for any other failure.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal = false);

}  // namespace tessaline::cli
