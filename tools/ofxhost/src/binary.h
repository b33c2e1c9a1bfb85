#pragma once
// The effect's binary, loaded as a shared library (dlopen on Linux, LoadLibrary on Windows).

#include <string>

namespace ofxhost {

class Binary {
 public:
  // Throws HostError naming the file and the system's reason.
  explicit Binary(const std::string& path);
  ~Binary();
  Binary(const Binary&) = delete;
  Binary& operator=(const Binary&) = delete;

  // The exported symbol, or null.
  void* Symbol(const char* name) const;

 private:
  void* module_ = nullptr;
};

}  // namespace ofxhost
