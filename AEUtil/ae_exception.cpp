#include "ae_exception.h"

#include <cstdarg>
#include <cstdio>

namespace AEUtil {

namespace {

// Each part is formatted in a buffer of 2048 bytes; a longer part is cut at 2047 characters
// rather than overrunning the buffer.
constexpr std::size_t kPartBytes = 2048;

std::string Located(const std::string& file, int line, const char* format, std::va_list args) {
  char buffer[kPartBytes] = {};
  std::snprintf(buffer, sizeof buffer, "%s(%d): ", file.c_str(), line);
  std::string message = buffer;
  std::vsnprintf(buffer, sizeof buffer, format, args);
  message += buffer;
  return message;
}

}  // namespace

AEException::AEException(std::int32_t code, int line, const std::string& file, const char* format, ...)
    : code_(code) {
  std::va_list args;
  va_start(args, format);
  message_ = Located(file, line, format, args);
  va_end(args);
}

AEException::~AEException() = default;

const char* AEException::what() const noexcept {
  whatText_ = message_;
  return whatText_.c_str();
}

const char* AEException::message() const noexcept { return message_.c_str(); }

Win32Exception::Win32Exception(std::uint32_t code, const std::string& file, int line, const char* format, ...)
    : code_(code) {
  std::va_list args;
  va_start(args, format);
  message_ = Located(file, line, format, args);
  va_end(args);
}

Win32Exception::~Win32Exception() = default;

const char* Win32Exception::what() const noexcept { return message_.c_str(); }

}  // namespace AEUtil
