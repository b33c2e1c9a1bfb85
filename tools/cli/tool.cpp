#include "tool.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <new>

#include "image_writer.h"
#include "options.h"
#include "progress.h"
#include "render_frames.h"

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

// Pixels whose entry in the engine's edge map has any edge bit set.
std::int64_t CountEdgePixels(const std::uint8_t* map, int width, int height) {
  constexpr std::uint8_t kAnyEdge = EdgeRight | EdgeBelow | EdgeDiagonal | EdgeAntiDiagonal;
  const std::ptrdiff_t stride = MapStride(width);
  std::int64_t count = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = map + (y + 1) * stride + 4;
    count += std::count_if(row, row + width, [](std::uint8_t entry) { return (entry & kAnyEdge) != 0; });
  }
  return count;
}

// Which frames to smooth, and which of those named by --frames have no input file.
struct FramePlan {
  std::vector<int> frames;
  std::vector<int> missing;
};

FramePlan PlanFrames(const Options& options) {
  if (!options.input.IsSequence()) return {{0}, {}};
  std::vector<int> listed = options.frames ? *options.frames : FindFrames(options.input);
  if (listed.empty()) {
    throw CliError("no files match INPUT '" + options.input.text + "' (such as '" + options.input.Path(1) +
                   "'); check the name and the number of digits");
  }
  if (options.chunk) listed = ChunkOf(listed, *options.chunk);
  FramePlan plan;
  for (const int frame : listed) {
    std::error_code ec;
    (!options.frames || std::filesystem::exists(options.input.Path(frame), ec) ? plan.frames : plan.missing)
        .push_back(frame);
  }
  return plan;
}

// An argument as a POSIX shell reads it back: as it is when it holds nothing the shell treats
// specially, else in single quotes.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && word.front() != '#' && word.front() != '~' &&
                     std::all_of(word.begin(), word.end(), [](unsigned char c) {
                       return std::isalnum(c) || std::strchr("_./%@,=:+-#", c) != nullptr;
                     });
  if (plain) return word;
  std::string quoted(1, '\'');
  for (const char c : word) {
    if (c == '\'') {
      quoted.append("'\\''");
    } else {
      quoted.push_back(c);
    }
  }
  quoted.push_back('\'');
  return quoted;
}

// The command that does what is left of this run: the same one, leaving what is already written.
std::string ResumeCommand(const std::vector<std::string>& args) {
  std::string command("tessaline");
  for (const std::string& arg : args) command.append(" ").append(ShellWord(arg));
  if (std::find(args.begin(), args.end(), "--skip-existing") == args.end()) command.append(" --skip-existing");
  return command;
}

}  // namespace

Image RenderImage(const Image& in, const Params& params, SourceMode mode, std::int64_t* edgePixels) {
  Image out = in;
  std::vector<std::uint8_t> edgeMap(EdgeMapBytes(in.width, in.height));
  const RenderStatus status = Render(in.depth, mode, in.View(), out.MutableView(), params, edgeMap.data());
  if (status != RenderStatus::Ok) {
    throw CliError(std::string("the smoothing engine refused the image: ") + StatusText(status));
  }
  if (edgePixels != nullptr) *edgePixels = edgeMap.empty() ? 0 : CountEdgePixels(edgeMap.data(), in.width, in.height);
  return out;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  const CommandLine commandLine = ParseCommandLine(args);
  switch (commandLine.action) {
    case CommandLine::Action::Help:
      out << Usage();
      return 0;
    case CommandLine::Action::Version:
      out << VersionLine();
      return 0;
    case CommandLine::Action::Fail:
      err << "tessaline: " << TerminalSafe(commandLine.error) << '\n';
      return 2;
    case CommandLine::Action::Run:
      break;
  }

  const Options& options = commandLine.options;
  try {
    // The key makes pixels transparent, and an OUTPUT that cannot hold that is no place for the
    // result: said before any work, rather than after a shot of frames without it.
    if (options.mode != SourceMode::Plain && HoldsAlpha(options.output.Path(1)) == false) {
      throw CliError("--key-color makes pixels transparent, which OUTPUT " + Quoted(options.output.text) +
                     " cannot hold (its format has no alpha); write it as one of " + ExtensionsHoldingAlpha());
    }
    const FramePlan plan = PlanFrames(options);
    const std::size_t asked = plan.frames.size() + plan.missing.size();
    const std::string missing = (plan.missing.size() == 1 ? "frame " : "frames ") + DescribeFrames(plan.missing) +
                                " (" + std::to_string(plan.missing.size()) + " of the " + std::to_string(asked) +
                                " asked for) " + (plan.missing.size() == 1 ? "has" : "have") + " no INPUT file '" +
                                options.input.text + "'";
    if (!plan.missing.empty() && (options.strict || plan.frames.empty())) {
      throw CliError(
          missing + "; nothing was written" +
          (plan.frames.empty() ? ": check INPUT and --frames" : " (without --strict the others are smoothed)"));
    }
    Progress progress(err, errIsTerminal, options.quiet, plan.frames.size(), plan.missing.size(),
                      options.input.IsSequence() ? ResumeCommand(args) : "");
    if (!plan.missing.empty()) progress.Warning(missing + "; smoothing the others");
    if (plan.frames.empty()) {
      progress.Warning("chunk " + std::to_string(options.chunk->index) + "/" + std::to_string(options.chunk->count) +
                       " of this shot holds no frames: there are fewer frames than chunks");
    }
    const bool sessionsWell = RenderFrames(options, plan.frames, progress);
    const FrameCounts counts = progress.Counts();
    // A single file that failed has said all there is in its error.
    if (options.input.IsSequence() || counts.failed == 0) progress.Finish();
    return counts.failed == 0 && sessionsWell ? 0 : 1;
  } catch (const std::bad_alloc&) {
    err << "tessaline: not enough memory to smooth '" << TerminalSafe(options.input.text) << "'\n";
  } catch (const std::exception& e) {
    err << "tessaline: " << TerminalSafe(e.what()) << '\n';
  }
  return 1;
}

}  // namespace tessaline::cli
