// The tool's failures and the pieces its messages are made of.
#pragma once

#include <stdexcept>
#include <string>

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

}  // namespace tessaline::cli
