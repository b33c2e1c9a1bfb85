// The tool's version, as --version and the files it writes give it.
#pragma once

#include <string>

#include "../../Source/effect_identity.h"  // plain #defines: the version the plug-in reports

namespace tessaline::cli {

// "tessaline 1.1.1": the software that made a file, for the formats' software tag.
inline std::string SoftwareName() {
  return "tessaline " + std::to_string(TESSALINE_VERSION_MAJOR) + "." + std::to_string(TESSALINE_VERSION_MINOR) + "." +
         std::to_string(TESSALINE_VERSION_BUGFIX);
}

}  // namespace tessaline::cli
