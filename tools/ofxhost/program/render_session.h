#pragma once
// `ofxhost BUNDLE render`: the frame stream through the effect.

#include <functional>
#include <ostream>

#include "program_options.h"

namespace ofxhost::program {

using ReadBytes = std::function<std::size_t(void*, std::size_t)>;
using WriteBytes = std::function<bool(const void*, std::size_t)>;

// Returns the program's exit status (see Usage()).
int RunRender(const ProgramOptions& options, const ReadBytes& read, const WriteBytes& write, std::ostream& err);

// Lists what the host recorded against the effect and what it still holds; true when there is none.
bool ReportClean(const Host& host, std::ostream& err);

}  // namespace ofxhost::program
