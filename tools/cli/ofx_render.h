// Rendering through the OpenFX plug-in: the Linux binary of dist/tessaline.ofx.bundle, loaded into
// this process by the simulated OpenFX host, which hands it the frame as a compositing host would.
// The files are read and written by the tool as always.
#pragma once

#include "image_io.h"

namespace tessaline::cli {

// The bundle: beside the tool unless TESSALINE_OFX names another.
std::string FindOfxBundle();

// Smooths `in` through the plug-in with the values its parameters would hold. Safe to call from
// several threads; the plug-in is loaded once for the process. Throws CliError naming what went
// wrong (the bundle missing, the plug-in failing or breaking the host's rules).
Image RenderThroughOfx(const Image& in, const Params& params, SourceMode mode, const std::string& bundle);

}  // namespace tessaline::cli
