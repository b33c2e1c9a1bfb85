#include "suites.h"


namespace tessaline::ofx {
namespace {

OfxHost* gHost = nullptr;
Suites gSuites;

template <class Suite>
const Suite* Fetch(const char* name, int version) {
  return static_cast<const Suite*>(gHost->fetchSuite(gHost->host, name, version));
}

}  // namespace

void Check(OfxStatus status) {
  if (status != kOfxStatOK) throw OfxError{status};
}

void SetHost(OfxHost* host) { gHost = host; }

OfxStatus LoadSuites() {
  if (gHost == nullptr || gHost->fetchSuite == nullptr) return kOfxStatErrMissingHostFeature;
  gSuites.property = Fetch<OfxPropertySuiteV1>(kOfxPropertySuite, 1);
  gSuites.effect = Fetch<OfxImageEffectSuiteV1>(kOfxImageEffectSuite, 1);
  gSuites.parameter = Fetch<OfxParameterSuiteV1>(kOfxParameterSuite, 1);
  if (gSuites.property == nullptr || gSuites.effect == nullptr || gSuites.parameter == nullptr) {
    gSuites = {};
    return kOfxStatErrMissingHostFeature;
  }
  return kOfxStatOK;
}

void UnloadSuites() { gSuites = {}; }

const Suites& Host() { return gSuites; }

Properties Properties::OfEffect(OfxImageEffectHandle effect) {
  OfxPropertySetHandle set = nullptr;
  Check(gSuites.effect->getPropertySet(effect, &set));
  return Properties(set);
}

Properties Properties::OfClip(OfxImageClipHandle clip) {
  OfxPropertySetHandle set = nullptr;
  Check(gSuites.effect->clipGetPropertySet(clip, &set));
  return Properties(set);
}

int Properties::Int(const char* name, int index) const {
  int value = 0;
  Check(gSuites.property->propGetInt(set_, name, index, &value));
  return value;
}

double Properties::Double(const char* name, int index) const {
  double value = 0;
  Check(gSuites.property->propGetDouble(set_, name, index, &value));
  return value;
}

std::string Properties::String(const char* name, int index) const {
  char* value = nullptr;
  Check(gSuites.property->propGetString(set_, name, index, &value));
  return value != nullptr ? value : "";
}

void* Properties::Pointer(const char* name, int index) const {
  void* value = nullptr;
  Check(gSuites.property->propGetPointer(set_, name, index, &value));
  return value;
}

OfxRectI Properties::RectI(const char* name) const {
  int v[4] = {};
  Check(gSuites.property->propGetIntN(set_, name, 4, v));
  return {v[0], v[1], v[2], v[3]};
}

void Properties::Set(const char* name, int value, int index) const {
  Check(gSuites.property->propSetInt(set_, name, index, value));
}

void Properties::Set(const char* name, double value, int index) const {
  Check(gSuites.property->propSetDouble(set_, name, index, value));
}

void Properties::Set(const char* name, const char* value, int index) const {
  Check(gSuites.property->propSetString(set_, name, index, value));
}

void Properties::Set(const char* name, void* value) const {
  Check(gSuites.property->propSetPointer(set_, name, 0, value));
}

void Properties::Set(const char* name, std::initializer_list<int> values) const {
  Check(gSuites.property->propSetIntN(set_, name, static_cast<int>(values.size()), values.begin()));
}

void Properties::Set(const char* name, std::initializer_list<double> values) const {
  Check(gSuites.property->propSetDoubleN(set_, name, static_cast<int>(values.size()), values.begin()));
}

void Properties::Set(const char* name, std::initializer_list<const char*> values) const {
  Check(gSuites.property->propSetStringN(set_, name, static_cast<int>(values.size()), values.begin()));
}

void Properties::SetRect(const char* name, const OfxRectD& rect) const {
  Set(name, {rect.x1, rect.y1, rect.x2, rect.y2});
}

}  // namespace tessaline::ofx
