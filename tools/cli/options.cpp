#include "options.h"

#include <cstdint>
#include <set>
#include <tuple>
#include <utility>

#include "cli_error.h"
#include "version.h"
#include "whole_number.h"

namespace tessaline::cli {

namespace {

constexpr char kSeeHelp[] = "; run 'tessaline --help' for usage";

// What the options say while they are read; the checks that join them come after.
struct Parsed {
  Options options;
  bool keyed = false;
  bool invert = false;
  std::string keyOnly;  // the first option given that only works with --key-color
  std::string edges;
};

// Stores an option's value (flags get none); returns "" or what is wrong.
using Apply = std::string (*)(Parsed&, std::string_view name, std::string_view value);

struct OptionSpec {
  std::string_view name;
  bool takesValue;
  bool keyOnly;  // has no effect without --key-color
  Apply apply;
};

std::string SetWhole(int& field, std::string_view name, std::string_view value, int min, int max) {
  const auto number = ParseWhole<int>(value, min, max);
  if (!number) {
    return std::string(name) + " needs a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
           ", not " + Quoted(std::string(value));
  }
  field = *number;
  return {};
}

template <std::int32_t Params::*Field, int Min, int Max>
std::string SetParam(Parsed& parsed, std::string_view name, std::string_view value) {
  return SetWhole(parsed.options.params.*Field, name, value, Min, Max);
}

// "R,G,B", each 0..255, or "#RRGGBB".
bool ParseKeyColor(std::string_view text, std::uint8_t (&argb)[4]) {
  argb[0] = 255;  // the engine does not use the key's alpha
  if (text.starts_with('#')) {
    if (text.size() != 7) return false;
    for (int channel = 1; channel <= 3; ++channel) {
      const std::string_view hex = text.substr(2 * channel - 1, 2);
      unsigned value = 0;
      const auto [stop, ec] = std::from_chars(hex.data(), hex.data() + 2, value, 16);
      if (ec != std::errc() || stop != hex.data() + 2) return false;
      argb[channel] = static_cast<std::uint8_t>(value);
    }
    return true;
  }
  for (int channel = 1; channel <= 3; ++channel) {
    const bool last = channel == 3;
    const std::size_t comma = text.find(',');
    if (last != (comma == std::string_view::npos)) return false;
    const auto value = ParseWhole<int>(text.substr(0, comma), 0, 255);
    if (!value) return false;
    argb[channel] = static_cast<std::uint8_t>(*value);
    if (!last) text.remove_prefix(comma + 1);
  }
  return true;
}

std::string SetKeyColor(Parsed& parsed, std::string_view, std::string_view value) {
  if (!ParseKeyColor(value, parsed.options.params.keyColor)) {
    return "--key-color needs three numbers from 0 to 255 written R,G,B (e.g. 0,255,0) or a hex colour "
           "#RRGGBB (e.g. #00FF00), not " +
           Quoted(std::string(value));
  }
  parsed.keyed = true;
  return {};
}

constexpr int kMaxThreads = 1024;

std::string SetThreads(Parsed& parsed, std::string_view name, std::string_view value) {
  return SetWhole(parsed.options.threads, name, value, 1, kMaxThreads);
}

std::string SetMaxPixels(Parsed& parsed, std::string_view name, std::string_view value) {
  constexpr std::uint64_t kMost = 1'000'000'000'000;
  const auto number = ParseWhole<std::uint64_t>(value, 1, kMost);
  if (!number) {
    return std::string(name) + " needs a whole number of pixels from 1 to " + std::to_string(kMost) +
           " (e.g. 250000000 for 250 million), not " + Quoted(std::string(value));
  }
  parsed.options.maxPixels = *number;
  return {};
}

std::string SetFrames(Parsed& parsed, std::string_view, std::string_view value) {
  return ParseFrameList(value, parsed.options.frames.emplace());
}

std::string SetChunk(Parsed& parsed, std::string_view, std::string_view value) {
  return ParseChunk(value, parsed.options.chunk.emplace());
}

std::string Raise(bool& flag) {
  flag = true;
  return {};
}

std::string SetText(std::string& field, std::string_view name, std::string_view value) {
  if (value.empty()) return std::string(name) + " needs a value" + kSeeHelp;
  field = value;
  return {};
}

constexpr OptionSpec kOptions[] = {
    {"--color-threshold", true, false, SetParam<&Params::colorThreshold, 1, 1020>},
    {"--softness", true, false, SetParam<&Params::softness, 0, 100>},
    {"--bias", true, false, SetParam<&Params::bias, 0, 100>},
    {"--key-color", true, false, SetKeyColor},
    {"--key-color-threshold", true, true, SetParam<&Params::keyColorThreshold, 0, 1020>},
    {"--invert", false, true, [](Parsed& p, std::string_view, std::string_view) { return Raise(p.invert); }},
    {"--frames", true, false, SetFrames},
    {"--chunk", true, false, SetChunk},
    {"--threads", true, false, SetThreads},
    {"--part", true, false,
     [](Parsed& p, std::string_view name, std::string_view value) { return SetText(p.options.part, name, value); }},
    {"--all-parts", false, false,
     [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.allParts); }},
    {"--max-pixels", true, false, SetMaxPixels},
    {"--edges", true, false,
     [](Parsed& p, std::string_view name, std::string_view value) { return SetText(p.edges, name, value); }},
    {"--skip-existing", false, false,
     [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.skipExisting); }},
    {"--strict", false, false, [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.strict); }},
    {"--quiet", false, false, [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.quiet); }},
    {"--via-plugin", false, false,
     [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.viaPlugin); }},
    {"--via-ofx", false, false, [](Parsed& p, std::string_view, std::string_view) { return Raise(p.options.viaOfx); }},
};

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

// The checks that need the whole command line: key-only options, and patterns that fit together.
std::string CheckTogether(Parsed& parsed, const std::vector<std::string>& positional) {
  Options& options = parsed.options;
  if (!parsed.keyOnly.empty() && !parsed.keyed) {
    return parsed.keyOnly + " only works with a colour key; add --key-color R,G,B or drop " + parsed.keyOnly;
  }
  options.mode = !parsed.keyed ? SourceMode::Plain : parsed.invert ? SourceMode::KeyInvert : SourceMode::Key;
  if (options.allParts && !options.part.empty()) {
    return "--part chooses one part, layer or view and --all-parts takes them all; give one of them";
  }
  if (options.viaPlugin && options.viaOfx) {
    return "--via-plugin and --via-ofx each choose a plug-in to render through; give one of them";
  }
  if (positional.size() < 2) {
    return (positional.empty() ? "missing INPUT and OUTPUT file names" : "missing OUTPUT file name") +
           std::string(kSeeHelp);
  }
  if (positional.size() > 2) {
    return "unexpected argument " + Quoted(positional[2]) + ": give exactly one INPUT and one OUTPUT" + kSeeHelp;
  }
  for (const auto& [text, what, pattern] :
       {std::tuple{positional[0], "INPUT", &options.input}, std::tuple{positional[1], "OUTPUT", &options.output}}) {
    if (std::string error = ParseFramePattern(text, what, *pattern); !error.empty()) return error;
  }
  if (!parsed.edges.empty()) {
    if (std::string error = ParseFramePattern(parsed.edges, "--edges", options.edges.emplace()); !error.empty()) {
      return error;
    }
  }

  const bool sequence = options.input.IsSequence();
  const char* example = sequence ? "out.####.png" : "out.png";
  for (const auto& [what, pattern] :
       {std::pair{"OUTPUT", &options.output}, std::pair{"--edges", options.edges ? &*options.edges : nullptr}}) {
    if (pattern == nullptr || pattern->IsSequence() == sequence) continue;
    return std::string(what) + " " + Quoted(pattern->text) +
           (sequence ? " is one file but INPUT is a frame pattern; give a pattern too (e.g. "
                     : " is a frame pattern but INPUT is one file; give a single file name (e.g. ") +
           example + ")";
  }
  if (options.edges && options.edges->SameFilesAs(options.output)) {
    return "--edges " + Quoted(options.edges->text) + " names the same files as OUTPUT; give it names of its own";
  }
  if (!sequence && (options.frames || options.chunk)) {
    return std::string(options.frames ? "--frames" : "--chunk") +
           " needs INPUT to be a frame pattern such as shot.####.exr, not the single file " +
           Quoted(options.input.text);
  }
  return {};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine result;
  auto fail = [&](std::string message) {
    result.action = CommandLine::Action::Fail;
    result.error = std::move(message);
    return result;
  };

  Parsed parsed;
  std::vector<std::string> positional;
  std::set<std::string_view> given;
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
    if (arg == "-h" || arg == "--help" || arg == "--version") {
      result.action = arg == "--version" ? CommandLine::Action::Version : CommandLine::Action::Help;
      return result;
    }
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const OptionSpec* option = FindOption(name);
    if (!option) return fail("unknown option " + Quoted(arg) + kSeeHelp);
    if (!given.insert(option->name).second) {
      return fail(name + " is given twice; give each option once");
    }
    if (option->keyOnly && parsed.keyOnly.empty()) parsed.keyOnly = name;

    std::string value;
    if (!option->takesValue) {
      if (equals != std::string::npos) return fail(name + " takes no value, not " + Quoted(arg) + kSeeHelp);
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size() && !(args[i + 1].starts_with("--") && args[i + 1].size() > 2)) {
      value = args[++i];
    } else {
      return fail(name + " needs a value" + kSeeHelp);
    }
    if (std::string error = option->apply(parsed, name, value); !error.empty()) return fail(error);
  }

  if (std::string error = CheckTogether(parsed, positional); !error.empty()) return fail(error);
  result.options = std::move(parsed.options);
  result.action = CommandLine::Action::Run;
  return result;
}

std::string VersionLine() { return SoftwareName() + " (build " + std::to_string(TESSALINE_VERSION_BUILD) + ")\n"; }

std::string_view Usage() {
  return R"(Usage: tessaline INPUT OUTPUT [options]

Smooths the jagged, stair-stepped edges between flat areas of colour in cel-style (anime, cartoon)
frames. Reads INPUT, softens every edge it finds and writes OUTPUT. Pixel values are read and
written as stored, with alpha kept unpremultiplied. Each output file is replaced only once the new
image has been written completely.

  tessaline cel.png cel_smooth.png
  tessaline shot.####.exr smooth/shot.####.exr --frames 1001-1100

INPUT and OUTPUT name one file each, or a whole shot with a frame-number mark in the file name:
#### or @@@@ (as many digits as marks, zero-padded) or %04d (printf style; %d for no padding).
shot.####.exr stands for shot.1001.exr, shot.1002.exr, ...; OUTPUT gets the same frame numbers.
Without --frames, the frames are the INPUT files that exist.

Smoothing (write either --option N or --option=N):
  --color-threshold N      how different two neighbouring pixels must be to form an edge: the sum
                           of their alpha, red, green and blue differences in 8-bit units, from 1
                           to 1020 (default 10). Raise it to ignore gradients and noise.
                             e.g. --color-threshold 40
  --softness N             how far along an edge the smoothing reaches, from 0 to 100 (default 70);
                           0 smooths nothing (the colour key, if on, still applies).
                             e.g. --softness 100
  --bias N                 bends the blend ramp so that pixels away from a step are blended less,
                           giving a tighter edge, from 0 to 100 (default 0).   e.g. --bias 30
  --key-color COLOUR       turns on the colour key: pixels of this colour become transparent before
                           smoothing, so their neighbours' edges are smoothed against transparency.
                           COLOUR is R,G,B (each 0 to 255) or #RRGGBB. An input without alpha gets
                           an alpha channel; an OUTPUT format without alpha (JPEG, HDR) is refused.
                             e.g. --key-color 0,255,0  or  --key-color=#00FF00
                           (quote a colour starting with # when it stands alone: '#00FF00')
  --key-color-threshold N  how far a colour may be from the key colour and still match: the sum
                           of its red, green and blue differences in 8-bit units, from 0 to 1020
                           (default 0, exact match only). Only with --key-color.
                             e.g. --key-color 0,255,0 --key-color-threshold 30
  --invert                 inverts the colour key: every pixel that does NOT match becomes
                           transparent. Only with --key-color.   e.g. --key-color 0,255,0 --invert

Files:
  --part NAME              smooths one part, page, layer or view: an EXR part or TIFF page by name
                           or number from 0, or a channel layer (diffuse.R, .G, .B) or stereo view
                           (left, right) inside one. Everything else is written through unchanged.
                           Default: the first part with R, G and B (or grey), else the first layer.
                             e.g. --part beauty   --part right   --part diffuse
  --all-parts              smooths every part, layer and view that has colour channels.
                             e.g. tessaline stereo.exr smooth.exr --all-parts
  --edges OUT              also writes the edges the engine found to OUT: the frame dimmed, with a
                           step to the right in red, a step below in green and a diagonal step in
                           blue (mixed where a pixel has several). A frame pattern when INPUT is
                           one; with --all-parts, the edges of the first.   e.g. --edges e.####.png
  --max-pixels N           refuses a file that declares more than N pixels in all (a damaged or
                           hostile file can declare gigapixels in a few bytes), before reading it.
                           Default: what this machine's memory holds for the frames in flight.
                             e.g. --max-pixels 400000000
  --via-plugin             renders through the real After Effects plug-in (tessaline.aex, run by
                           the simulated host fxhost.exe under Wine) instead of the built-in
                           engine; the result is the same to the bit. Both files are looked for
                           beside this program (or named by TESSALINE_AEX and TESSALINE_FXHOST);
                           Wine uses the prefix in WINEPREFIX, or its default. Each of the
                           --threads workers starts the host once and streams its frames through
                           it; a frame the plug-in refuses fails alone.
  --via-ofx                renders through the OpenFX plug-in (tessaline.ofx.bundle, its Linux
                           binary loaded into this program by a simulated OpenFX host) instead of
                           the built-in engine; the result is the same to the bit. The bundle is
                           looked for beside this program (or named by TESSALINE_OFX).

Shots:
  --frames LIST            the frames to smooth: numbers, ranges and ranges with a step, joined by
                           commas. Frames of the list without an INPUT file are named in a warning
                           and left out.   e.g. --frames 1001-1100   --frames 1001-1100x2
                           --frames 1,5,9-12
  --chunk K/N              smooths only the K-th of N near-equal, contiguous shares of the frames
                           (of --frames, or of those found), so that N machines or jobs can split a
                           shot; a share may be empty.   e.g. --chunk 3/10
  --skip-existing          leaves frames whose OUTPUT file (and --edges file) already exists and
                           reads back whole, to resume a run that was stopped.
                             e.g. tessaline a.####.exr b.####.exr --skip-existing
  --strict                 stops before writing anything when a frame of --frames has no INPUT
                           file, and at the first frame that cannot be read.   e.g. --strict
  --threads N              how many frames are smoothed at once, from 1 to 1024 (default: one per
                           core this program may use). Memory grows with it: about two frames
                           each.   e.g. --threads 4
  --quiet                  prints nothing but errors: no progress bar, warnings or summary.

  --version                prints the version and exits.
  -h, --help               prints this help and exits.

While it works, tessaline shows a progress bar on a terminal and ends with a line counting the
frames, the edge pixels and the time.

A frame that cannot be read (a damaged plate) is reported and the others are still smoothed,
unless --strict. A frame that cannot be smoothed or written (a full disk, a folder that cannot be
written) stops the run, since the next frames would fail alike; frames already written stay. A run
that does not finish, or is interrupted, ends with a line that counts the frames left and gives
the command that resumes it (with --skip-existing).

Exit status: 0 on success, 2 for a bad command line, 1 when a frame cannot be read, smoothed or
written; 130 (or the signal's) when interrupted.
)";
}

}  // namespace tessaline::cli
