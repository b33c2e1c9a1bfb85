// The tool's failures and the pieces its messages are made of.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tessaline::cli {

// A failure to report to the user: one line, without the "tessaline: " prefix.
struct CliError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// A library's message as one line, for the end of one of ours.
inline std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text.empty() ? "no detail given" : text;
}

// `text` made safe to print on a terminal: control characters (C0, DEL and C1, which a file's
// channel names or a library's message may hold and which would steer the terminal) and bytes that
// are not UTF-8 are written as \xNN; tab, printable ASCII and whole UTF-8 characters stay.
std::string TerminalSafe(std::string_view text);

}  // namespace tessaline::cli
