#include "program_options.h"

#include <stdexcept>
#include <type_traits>

namespace ofxhost::program {
namespace {

// The value of `option`, which must be all of `text` and lie from `low` to `high`.
template <class T>
T Number(const std::string& text, const std::string& option, T low, T high, const char* what) {
  std::size_t used = 0;
  T value{};
  try {
    value = std::is_integral_v<T> ? static_cast<T>(std::stol(text, &used)) : static_cast<T>(std::stod(text, &used));
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || !(value >= low && value <= high)) {
    throw std::invalid_argument(option + " expects " + what + ", not \"" + text + "\"");
  }
  return value;
}

}  // namespace

const char* Usage() {
  return "usage: ofxhost BUNDLE describe\n"
         "       ofxhost BUNDLE render [options] < requests > replies\n"
         "\n"
         "Loads the OpenFX effect of BUNDLE (a NAME.ofx.bundle folder) and plays a strict compositing\n"
         "host for it. describe prints the effect, its clips and every parameter as JSON. render reads\n"
         "frames from stdin and writes the rendered windows to stdout (the stream is described in\n"
         "frame_stream.h). Everything the effect does against the OpenFX contract is listed on stderr\n"
         "at the end, and makes the exit status 3.\n"
         "\n"
         "render options:\n"
         "  --context filter|general  the context the effect is created in (default filter)\n"
         "  --threads N               frames, or windows of frames, rendered at once (default 1)\n"
         "  --tiles N                 renders each window as N strips, each its own render (default 1)\n"
         "  --scale S                 the render scale of a proxy render, 0.01 to 1 (default 1)\n"
         "  --padding B               bytes after each row of every image the host makes (default 0)\n"
         "  --top-down                images stored top row first, with negative row bytes\n"
         "  --whole-output            output images cover the whole output, not only the window\n"
         "\n"
         "Exit status: 0 done and clean, 1 the effect could not be loaded or the command line is\n"
         "wrong, 2 a malformed request, 3 the effect broke the contract or kept what it should release.\n";
}

ProgramOptions ParseOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  std::vector<std::string> positional;
  bool renderOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(a + " needs a value");
      return arguments[++i];
    };
    if (a == "--help" || a == "-h") {
      options.mode = "help";
      return options;
    }
    if (a == "--context") {
      const std::string& c = value();
      if (c != "filter" && c != "general") throw std::invalid_argument("--context is filter or general, not \"" + c + "\"");
      options.host.context = c == "filter" ? "OfxImageEffectContextFilter" : "OfxImageEffectContextGeneral";
    } else if (a == "--threads") {
      options.threads = Number(value(), a, 1, 64, "a whole number from 1 to 64");
      renderOnly = true;
    } else if (a == "--tiles") {
      options.tiles = Number(value(), a, 1, 1024, "a whole number from 1 to 1024");
      renderOnly = true;
    } else if (a == "--scale") {
      options.host.renderScale = Number(value(), a, 0.01, 1.0, "a scale from 0.01 to 1");
      renderOnly = true;
    } else if (a == "--padding") {
      options.host.rowPadding = Number(value(), a, 0, 4096, "a whole number of bytes from 0 to 4096");
      renderOnly = true;
    } else if (a == "--top-down") {
      options.host.topDown = true;
      renderOnly = true;
    } else if (a == "--whole-output") {
      options.host.wholeOutput = true;
      renderOnly = true;
    } else if (a.starts_with("-")) {
      throw std::invalid_argument("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) throw std::invalid_argument("expected a bundle and a mode (describe or render)");
  options.bundle = positional[0];
  options.mode = positional[1];
  if (options.mode != "describe" && options.mode != "render") throw std::invalid_argument("unknown mode " + options.mode);
  if (options.mode == "describe" && (renderOnly || options.host.context != HostOptions().context)) {
    throw std::invalid_argument("describe takes no options: it describes every context");
  }
  return options;
}

}  // namespace ofxhost::program
