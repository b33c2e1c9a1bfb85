// Whole numbers as the command line writes them: decimal digits only, no sign, spaces or trailing
// text, so that "7x", " 7" and "+7" are refused instead of read as 7.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace tessaline::cli {

template <class T>
std::optional<T> ParseWhole(std::string_view text, T min, T max) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || text.front() == '-' || ec != std::errc() || stop != end || value < min || value > max) {
    return std::nullopt;
  }
  return value;
}

}  // namespace tessaline::cli
