#include "program_run.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test_support {
namespace {

std::vector<std::uint8_t> fileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

ProgramRun runProgram(const std::string& commandLine, const std::string& scratchBase,
                      const std::vector<std::uint8_t>& input, DWORD timeoutMs) {
  std::ofstream(scratchBase + "in", std::ios::binary)
      .write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto open = [&](const char* name, bool write) {
    return CreateFileA((scratchBase + name).c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                       &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = open("in", false);
  startup.hStdOutput = open("out", true);
  startup.hStdError = open("err", true);
  std::string line = commandLine;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(handle);
  if (!started) throw std::runtime_error("cannot start " + commandLine);
  ProgramRun run;
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, kHungExitCode);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.out = fileBytes(scratchBase + "out");
  const std::vector<std::uint8_t> err = fileBytes(scratchBase + "err");
  run.err.assign(err.begin(), err.end());
  return run;
}

}  // namespace test_support
