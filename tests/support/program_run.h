// Running a program of ours under Wine from a test: its standard streams are files, its input fed,
// both outputs collected, and a program that hangs is ended rather than waited for forever.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

inline constexpr UINT kHungExitCode = 99;

struct ProgramRun {
  DWORD exitCode = 0;
  std::vector<std::uint8_t> out;
  std::string err;
  std::string outText() const { return std::string(out.begin(), out.end()); }
};

// Runs `commandLine` (program and arguments, quoted as Windows wants them) with `input` on its
// standard input, and ends it after `timeoutMs`. The streams go through files named after
// `scratchBase`.
ProgramRun runProgram(const std::string& commandLine, const std::string& scratchBase,
                      const std::vector<std::uint8_t>& input = {}, DWORD timeoutMs = 60000);

}  // namespace test_support
