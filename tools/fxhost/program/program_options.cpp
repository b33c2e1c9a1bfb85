#include "program_options.h"

#include <charconv>

namespace fxhost::program {
namespace {

long parseNumber(const std::string& text, const std::string& option) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    throw std::invalid_argument(option + " expects a number, not \"" + text + "\"");
  }
  return value;
}

PF_SpecVersion parseVersion(const std::string& text) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) throw std::invalid_argument("--version expects MAJOR.MINOR, not \"" + text + "\"");
  const long major = parseNumber(text.substr(0, dot), "--version");
  const long minor = parseNumber(text.substr(dot + 1), "--version");
  if (major < 0 || major > 0x7FFF || minor < 0 || minor > 0x7FFF) throw std::invalid_argument("--version out of range");
  return PF_SpecVersion{static_cast<A_short>(major), static_cast<A_short>(minor)};
}

std::pair<std::string, A_long> parseSuite(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    throw std::invalid_argument("--refuse-suite expects NAME:VERSION, not \"" + text + "\"");
  }
  return {text.substr(0, colon), static_cast<A_long>(parseNumber(text.substr(colon + 1), "--refuse-suite"))};
}

A_long parsePadding(const std::string& text, const std::string& option) {
  const long value = parseNumber(text, option);
  if (value < 0 || value > 4096) throw std::invalid_argument(option + " expects 0 to 4096 bytes");
  return static_cast<A_long>(value);
}

}  // namespace

const char* usageText() {
  return "usage: fxhost PLUGIN.aex [options] render|info\n"
         "  --version M.m          effect API version the host reports (default 13.28)\n"
         "  --language TAG         language PF_AppGetLanguage reports (default en_US)\n"
         "  --classic              render with PF_Cmd_RENDER instead of the smart render pair\n"
         "  --pad-input N          bytes of padding after each input row\n"
         "  --pad-output N         bytes of padding after each output row\n"
         "  --refuse-suite NAME:V  the host does not have suite NAME at version V\n"
         "render: frames on stdin, rendered frames on stdout (see fxhost/frame_protocol.h)\n"
         "info: the plug-in's property list\n";
}

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--version") {
      options.host.version = parseVersion(value());
    } else if (argument == "--language") {
      options.host.language = value();
    } else if (argument == "--classic") {
      options.classicRender = true;
    } else if (argument == "--pad-input") {
      options.inputPadding = parsePadding(value(), argument);
    } else if (argument == "--pad-output") {
      options.outputPadding = parsePadding(value(), argument);
    } else if (argument == "--refuse-suite") {
      options.refusedSuites.push_back(parseSuite(value()));
    } else if (argument.starts_with("--")) {
      throw std::invalid_argument("unknown option " + argument);
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) throw std::invalid_argument("expected a plug-in and a mode");
  options.pluginPath = positional[0];
  options.mode = positional[1];
  if (options.mode != "render" && options.mode != "info") throw std::invalid_argument("unknown mode " + options.mode);
  return options;
}

}  // namespace fxhost::program
