#include "options.h"

#include <charconv>
#include <cstdint>
#include <optional>

namespace tessaline::cli {

namespace {

struct NumericOption {
  std::string_view name;
  int min;
  int max;
  std::int32_t Params::*field;
};

constexpr NumericOption kNumericOptions[] = {
    {"--color-threshold", 1, 1020, &Params::colorThreshold},
    {"--softness", 0, 100, &Params::softness},
    {"--bias", 0, 100, &Params::bias},
    {"--key-color-threshold", 0, 1020, &Params::keyColorThreshold},
};

constexpr std::string_view kKeyColor = "--key-color";
constexpr std::string_view kInvert = "--invert";
constexpr std::string_view kViaPlugin = "--via-plugin";
constexpr char kSeeHelp[] = "; run 'tessaline --help' for usage";

// A whole decimal number in [min, max] and nothing else (no sign, spaces or trailing text).
std::optional<int> ParseInt(std::string_view text, int min, int max) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || stop != end || value < min || value > max) return std::nullopt;
  return value;
}

// "R,G,B", each 0..255, into the key colour (whose alpha the engine does not use).
bool ParseKeyColor(std::string_view text, std::uint8_t (&argb)[4]) {
  argb[0] = 255;
  for (int channel = 1; channel <= 3; ++channel) {
    const bool last = channel == 3;
    const std::size_t comma = text.find(',');
    if (last != (comma == std::string_view::npos)) return false;
    const auto value = ParseInt(text.substr(0, comma), 0, 255);
    if (!value) return false;
    argb[channel] = static_cast<std::uint8_t>(*value);
    if (!last) text.remove_prefix(comma + 1);
  }
  return true;
}

const NumericOption* FindNumeric(std::string_view name) {
  for (const NumericOption& option : kNumericOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine result;
  auto fail = [&](std::string message) {
    result.action = CommandLine::Action::Fail;
    result.error = std::move(message);
    return result;
  };

  std::vector<std::string> positional;
  bool keyed = false;
  bool invert = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // A lone "-" is an ordinary name; "--" lets names that start with "-" through.
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      result.action = CommandLine::Action::Help;
      return result;
    }
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const NumericOption* numeric = FindNumeric(name);
    if (name == kInvert || name == kViaPlugin) {
      if (equals != std::string::npos) {
        return fail(name + " takes no value, not '" + arg + "'" + kSeeHelp);
      }
      (name == kInvert ? invert : result.options.viaPlugin) = true;
      continue;
    }
    if (!numeric && name != kKeyColor) return fail("unknown option '" + arg + "'" + kSeeHelp);

    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return fail(name + " needs a value" + kSeeHelp);
    }

    if (numeric) {
      const auto parsed = ParseInt(value, numeric->min, numeric->max);
      if (!parsed) {
        return fail(name + " needs a whole number from " + std::to_string(numeric->min) + " to " +
                    std::to_string(numeric->max) + ", not '" + value + "'");
      }
      result.options.params.*(numeric->field) = *parsed;
    } else {
      if (!ParseKeyColor(value, result.options.params.keyColor)) {
        return fail("--key-color needs three numbers from 0 to 255 written R,G,B (e.g. 0,255,0), not '" +
                    value + "'");
      }
      keyed = true;
    }
  }

  if (invert && !keyed) {
    return fail("--invert only inverts a colour key; add --key-color R,G,B or drop --invert");
  }
  if (positional.size() < 2) {
    const char* missing =
        positional.empty() ? "missing INPUT and OUTPUT file names" : "missing OUTPUT file name";
    return fail(missing + std::string(kSeeHelp));
  }
  if (positional.size() > 2) {
    return fail("unexpected argument '" + positional[2] + "': give exactly one INPUT and one OUTPUT" +
                kSeeHelp);
  }
  result.options.input = positional[0];
  result.options.output = positional[1];
  result.options.mode = !keyed ? SourceMode::Plain : invert ? SourceMode::KeyInvert : SourceMode::Key;
  result.action = CommandLine::Action::Run;
  return result;
}

std::string_view Usage() {
  return R"(Usage: tessaline INPUT OUTPUT [options]

Smooths the jagged, stair-stepped edges between flat areas of colour in cel-style (anime, cartoon)
frames. Reads INPUT, softens every edge it finds and writes OUTPUT in the same file format, bit depth
and channel layout (grey, grey+alpha, RGB or RGBA; 8-bit or 16-bit integer, half or float). Pixel
values are read and written as stored, with alpha kept unpremultiplied. OUTPUT is replaced only once
the new image has been written completely.

Options (write either --option N or --option=N):
  --color-threshold N      how different two neighbouring pixels must be to form an edge: the sum
                           of their alpha, red, green and blue differences in 8-bit units, from 1
                           to 1020 (default 10). Raise it to ignore gradients and noise.
  --softness N             how far along an edge the smoothing reaches, from 0 to 100 (default 70);
                           0 smooths nothing (the colour key, if on, still applies).
  --bias N                 bends the blend ramp so that pixels away from a step are blended less,
                           giving a tighter edge, from 0 to 100 (default 0).
  --key-color R,G,B        turns on the colour key: pixels of this colour (each 0 to 255) become
                           transparent before smoothing, so their neighbours' edges are smoothed
                           against transparency. Needs an image with alpha to keep the result.
  --key-color-threshold N  how far a colour may be from the key colour and still match: the sum
                           of its red, green and blue differences in 8-bit units, from 0 to 1020
                           (default 0, exact match only). Only used with --key-color.
  --invert                 inverts the colour key: every pixel that does NOT match becomes
                           transparent. Only together with --key-color.
  --via-plugin             renders through the real After Effects plug-in (tessaline.aex, run by
                           the simulated host fxhost.exe under Wine) instead of the built-in
                           engine; the result is the same to the bit. Both files are looked for
                           beside this program (or named by TESSALINE_AEX and TESSALINE_FXHOST);
                           Wine uses the prefix in WINEPREFIX, or its default.
  -h, --help               prints this help and exits.

Exit status: 0 on success, 2 for a bad command line, 1 when an image cannot be read, smoothed or
written.
)";
}

}  // namespace tessaline::cli
