// Rendering through the real plug-in: the Windows effect dist/tessaline.aex, run under Wine by the
// simulated host dist/fxhost.exe, which receives the frame and the parameter values over a pipe and
// sends the rendered frame back. The files are read and written by the tool as always.
#pragma once

#include "image_io.h"

namespace tessaline::cli {

// Where the plug-in and the host program are: beside the tool unless the environment says
// otherwise (TESSALINE_AEX, TESSALINE_FXHOST).
struct PluginFiles {
  std::string plugin;
  std::string host;
};
PluginFiles FindPluginFiles();

// Smooths `in` through the plug-in with the values the host's parameters would hold. Throws
// CliError naming what went wrong (Wine missing, the plug-in failing, its accounts unbalanced).
Image RenderThroughPlugin(const Image& in, const Params& params, SourceMode mode, const PluginFiles& files);

}  // namespace tessaline::cli
