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

long parseInRange(const std::string& text, const std::string& option, long low, long high) {
  const long value = parseNumber(text, option);
  if (value < low || value > high) {
    throw std::invalid_argument(option + " expects " + std::to_string(low) + " to " + std::to_string(high));
  }
  return value;
}

// Comma-separated numbers, exactly `count` of them, each within [low, high].
std::vector<long> parseList(const std::string& text, const std::string& option, std::size_t count, long low, long high,
                            const char* shape) {
  std::vector<long> values;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    values.push_back(parseNumber(text.substr(start, comma - start), option));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != count) throw std::invalid_argument(option + " expects " + shape + ", not \"" + text + "\"");
  for (const long v : values) {
    if (v < low || v > high) {
      throw std::invalid_argument(option + " expects numbers from " + std::to_string(low) + " to " +
                                  std::to_string(high) + ", not \"" + text + "\"");
    }
  }
  return values;
}

}  // namespace

const char* usageText() {
  return "usage: fxhost PLUGIN.aex MODE [options]\n"
         "       fxhost --help\n"
         "modes:\n"
         "  render    frames on stdin, rendered frames on stdout (see fxhost/frame_protocol.h); frame k\n"
         "            (from 0) renders at time k * time step, its slots set as keyframes at that time\n"
         "  describe  global, parameter and sequence setup, the flattened sequence data and the about\n"
         "            text, then setdown; prints what the host learnt as one JSON object (UTF-8; the\n"
         "            plug-in's texts read as code page 932, and given as raw bytes in hex too)\n"
         "  dialog    global, parameter and sequence setup, then the options command over a main window\n"
         "            of the host's own: the plug-in's dialog opens (it needs a display); prints what the\n"
         "            dialog did to the settings file, and the file\n"
         "  info      the plug-in's property list, without running its code\n"
         "options of render, describe and dialog:\n"
         "  --version M.m          effect API version the host reports (default 13.28)\n"
         "  --language TAG         language PF_AppGetLanguage reports (default en_US)\n"
         "  --shift                the Shift key is down while the plug-in runs\n"
         "  --refuse-suite NAME:V  the host does not have suite NAME at version V\n"
         "options of render:\n"
         "  --threads N            render up to N frames at once, each on a thread of its own (1-64,\n"
         "                         default 1); replies keep the order of the frames\n"
         "  --classic              render with PF_Cmd_RENDER instead of the smart render pair (one\n"
         "                         thread only)\n"
         "  --pad-input N          bytes of padding after each input row\n"
         "  --pad-output N         bytes of padding after each output row\n"
         "  --request L,T,R,B      smart render: ask the effect for this rectangle of the layer only\n"
         "                         (in the frame's own pixels; default the whole layer); the reply\n"
         "                         holds what the effect delivered of it\n"
         "  --origin X,Y           smart render: the frame's top-left pixel lies at X,Y in the layer\n"
         "  --downsample N[,M]     render at 1/N (across) by 1/M (down; default N) of the frame's size,\n"
         "                         as at a reduced preview resolution (1-64): the host takes every Nth\n"
         "                         pixel and reduces the rectangle and origin with it\n"
         "                         (a frame's own values in the stream replace these three)\n"
         "  --timing               at the end, how long the render commands took per frame (fastest\n"
         "                         and median) and the most memory the plug-in's own worlds held\n"
         "options of dialog:\n"
         "  --param INDEX=VALUE    the instance's value of parameter INDEX before the dialog opens: a\n"
         "                         number, or R,G,B for a colour (repeat for several)\n"
         "  --settings FILE        the settings file to show (default: the tessaline plug-in's,\n"
         "                         %APPDATA%\\NORVA\\tessaline\\tessaline.ini)\n"
         "anywhere:\n"
         "  -L TAG                 for the plug-in, which reads it from the command line; the host\n"
         "                         passes it over\n"
         "exit codes: 0 success and balanced accounts; 1 the plug-in could not be loaded or set up\n"
         "(or a bad command line); 2 render: a malformed stream, describe and dialog: a command\n"
         "failed; 3 the accounts do not balance\n";
}

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  std::vector<std::string> positional;
  std::vector<std::string> renderOnly;
  std::vector<std::string> dialogOnly;
  bool hostOptions = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--help" || argument == "-h") {
      options.mode = "help";
      return options;
    }
    if (argument == "-L") {
      value();
    } else if (argument == "--version") {
      options.host.version = parseVersion(value());
      hostOptions = true;
    } else if (argument == "--language") {
      options.host.language = value();
      hostOptions = true;
    } else if (argument == "--shift") {
      options.host.shiftKeyDown = true;
      hostOptions = true;
    } else if (argument == "--refuse-suite") {
      options.refusedSuites.push_back(parseSuite(value()));
      hostOptions = true;
    } else if (argument == "--threads") {
      options.threads = static_cast<int>(parseInRange(value(), argument, 1, 64));
      renderOnly.push_back(argument);
    } else if (argument == "--classic") {
      options.classicRender = true;
      renderOnly.push_back(argument);
    } else if (argument == "--pad-input") {
      options.inputPadding = static_cast<A_long>(parseInRange(value(), argument, 0, 4096));
      renderOnly.push_back(argument);
    } else if (argument == "--pad-output") {
      options.outputPadding = static_cast<A_long>(parseInRange(value(), argument, 0, 4096));
      renderOnly.push_back(argument);
    } else if (argument == "--request") {
      constexpr long kFar = 1L << 30;
      const std::vector<long> v = parseList(value(), argument, 4, -kFar, kFar, "LEFT,TOP,RIGHT,BOTTOM");
      options.region.rect = PF_LRect{static_cast<A_long>(v[0]), static_cast<A_long>(v[1]), static_cast<A_long>(v[2]),
                                     static_cast<A_long>(v[3])};
      options.region.given |= protocol::kGivenRect;
      renderOnly.push_back(argument);
    } else if (argument == "--origin") {
      constexpr long kFar = 1L << 30;
      const std::vector<long> v = parseList(value(), argument, 2, -kFar, kFar, "X,Y");
      options.region.origin = PF_Point{static_cast<A_long>(v[0]), static_cast<A_long>(v[1])};
      options.region.given |= protocol::kGivenOrigin;
      renderOnly.push_back(argument);
    } else if (argument == "--downsample") {
      const std::string& text = value();
      const std::size_t count = text.find(',') == std::string::npos ? 1 : 2;
      const std::vector<long> v = parseList(text, argument, count, 1, protocol::kMaxDownsample, "N or N,M");
      options.region.downsampleX = static_cast<std::uint32_t>(v[0]);
      options.region.downsampleY = static_cast<std::uint32_t>(v.back());
      options.region.given |= protocol::kGivenDownsample;
      renderOnly.push_back(argument);
    } else if (argument == "--timing") {
      options.timing = true;
      renderOnly.push_back(argument);
    } else if (argument == "--param") {
      const std::string& text = value();
      const auto equals = text.find('=');
      if (equals == std::string::npos) throw std::invalid_argument("--param expects INDEX=VALUE, not \"" + text + "\"");
      options.paramValues.emplace_back(static_cast<PF_ParamIndex>(parseInRange(text.substr(0, equals), argument, 1, 16383)),
                                       text.substr(equals + 1));
      dialogOnly.push_back(argument);
    } else if (argument == "--settings") {
      options.settingsFile = value();
      dialogOnly.push_back(argument);
    } else if (argument.starts_with("-")) {
      throw std::invalid_argument("unknown option " + argument);
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) throw std::invalid_argument("expected a plug-in and a mode");
  options.pluginPath = positional[0];
  options.mode = positional[1];
  if (options.mode != "render" && options.mode != "describe" && options.mode != "dialog" && options.mode != "info") {
    throw std::invalid_argument("unknown mode " + options.mode);
  }
  if (options.mode != "render" && !renderOnly.empty()) {
    throw std::invalid_argument(renderOnly.front() + " applies to render only");
  }
  if (options.mode != "dialog" && !dialogOnly.empty()) {
    throw std::invalid_argument(dialogOnly.front() + " applies to dialog only");
  }
  if (options.mode == "info" && hostOptions) {
    throw std::invalid_argument("info runs no plug-in code and takes no options");
  }
  if (options.classicRender && (options.region.given & (protocol::kGivenRect | protocol::kGivenOrigin)) != 0) {
    throw std::invalid_argument("--classic renders the whole layer; --request and --origin are for smart renders");
  }
  if (options.classicRender && options.threads > 1) {
    throw std::invalid_argument("--classic renders one frame at a time; --threads must be 1");
  }
  return options;
}

}  // namespace fxhost::program
