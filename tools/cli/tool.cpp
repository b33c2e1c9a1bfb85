#include "tool.h"

#include <cstdint>
#include <exception>
#include <new>

#include "options.h"
#include "plugin_render.h"

namespace tessaline::cli {

namespace {

const char* StatusText(RenderStatus status) {
  switch (status) {
    case RenderStatus::Ok:
      return "ok";
    case RenderStatus::SizeMismatch:
      return "input and output sizes differ";
    case RenderStatus::BadView:
      return "invalid image buffer";
    case RenderStatus::BadParams:
      return "a setting is out of range";
  }
  return "unknown status";
}

}  // namespace

Image RenderImage(const Image& in, const Params& params, SourceMode mode) {
  Image out = in;
  std::vector<std::uint8_t> edgeMap(EdgeMapBytes(in.width, in.height));
  const RenderStatus status = Render(in.depth, mode, in.View(), out.MutableView(), params, edgeMap.data());
  if (status != RenderStatus::Ok) {
    throw CliError(std::string("the smoothing engine refused the image: ") + StatusText(status));
  }
  return out;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CommandLine commandLine = ParseCommandLine(args);
  if (commandLine.action == CommandLine::Action::Help) {
    out << Usage();
    return 0;
  }
  if (commandLine.action == CommandLine::Action::Fail) {
    err << "tessaline: " << commandLine.error << '\n';
    return 2;
  }

  const Options& options = commandLine.options;
  try {
    const Image in = ReadImage(options.input);
    if (options.mode != SourceMode::Plain && !in.HasAlpha()) {
      err << "tessaline: warning: '" << options.input << "' has no alpha channel, so the transparency "
          << "made by --key-color cannot be stored in '" << options.output
          << "'; use an image with alpha to keep it\n";
    }
    const Image out = options.viaPlugin
                          ? RenderThroughPlugin(in, options.params, options.mode, FindPluginFiles())
                          : RenderImage(in, options.params, options.mode);
    WriteImage(out, options.output);
    return 0;
  } catch (const std::bad_alloc&) {
    err << "tessaline: not enough memory to smooth '" << options.input << "'\n";
  } catch (const std::exception& e) {
    err << "tessaline: " << e.what() << '\n';
  }
  return 1;
}

}  // namespace tessaline::cli
