// The host's suites as the effect uses them, and small typed helpers over its property sets. A
// failing call throws OfxError with the host's status, which the entry point returns.
#pragma once

#include <initializer_list>
#include <string>

#include "ofx_image_effect.h"
#include "ofx_param.h"
#include "ofx_property.h"

namespace tessaline::ofx {

struct OfxError {
  OfxStatus status;
};

// Throws OfxError{status} unless `status` is kOfxStatOK.
void Check(OfxStatus status);

// Runs `set`, which sets something a host may not know (an older host, a host of fewer features):
// the effect works without it, so a refusal is not a failure.
template <class Set>
void Optional(Set set) {
  try {
    set();
  } catch (const OfxError&) {
  }
}

// The suites fetched at load.
struct Suites {
  const OfxPropertySuiteV1* property = nullptr;
  const OfxImageEffectSuiteV1* effect = nullptr;
  const OfxParameterSuiteV1* parameter = nullptr;
};

// Set by the host before it loads the plug-in.
void SetHost(OfxHost* host);
// Fetches the suites; kOfxStatErrMissingHostFeature when a mandatory one is missing.
OfxStatus LoadSuites();
void UnloadSuites();
const Suites& Host();

// One property set of the host's, read and written by name.
class Properties {
 public:
  explicit Properties(OfxPropertySetHandle set) : set_(set) {}
  static Properties OfEffect(OfxImageEffectHandle effect);
  static Properties OfClip(OfxImageClipHandle clip);

  int Int(const char* name, int index = 0) const;
  double Double(const char* name, int index = 0) const;
  std::string String(const char* name, int index = 0) const;
  void* Pointer(const char* name, int index = 0) const;
  OfxRectI RectI(const char* name) const;

  void Set(const char* name, int value, int index = 0) const;
  void Set(const char* name, double value, int index = 0) const;
  void Set(const char* name, const char* value, int index = 0) const;
  void Set(const char* name, void* value) const;
  // Every value of a property of several, in order.
  void Set(const char* name, std::initializer_list<int> values) const;
  void Set(const char* name, std::initializer_list<double> values) const;
  void Set(const char* name, std::initializer_list<const char*> values) const;
  void SetRect(const char* name, const OfxRectD& rect) const;

  OfxPropertySetHandle handle() const { return set_; }

 private:
  OfxPropertySetHandle set_;
};

}  // namespace tessaline::ofx
