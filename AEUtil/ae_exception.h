// The utility layer's exceptions: a failure that knows the host's error code, and a failed Windows
// call. Both carry a located message: "file(line): " followed by the formatted description.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace AEUtil {

class AEException : public std::exception {
 public:
  // Note the argument order (line before file), which differs from Win32Exception's.
  AEException(std::int32_t code, int line, const std::string& file, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  ~AEException() override;
  const char* what() const noexcept override;
  virtual const char* message() const noexcept;
  std::int32_t code() const noexcept { return code_; }

 private:
  std::int32_t code_;
  std::string message_;
  mutable std::string whatText_;
};

class Win32Exception : public std::exception {
 public:
  Win32Exception(std::uint32_t code, const std::string& file, int line, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  ~Win32Exception() override;
  const char* what() const noexcept override;
  std::uint32_t code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
  std::string message_;
};

}  // namespace AEUtil
