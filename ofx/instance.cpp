// An instance's life and the actions that answer from its parameters alone: clip preferences,
// regions, identity, and keeping the key's controls enabled only while the key is on.
#include "instance.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "actions.h"
#include "params.h"
#include "suites.h"

namespace tessaline::ofx {
namespace {

OfxParamHandle ParamHandle(OfxParamSetHandle set, const char* name) {
  OfxParamHandle param = nullptr;
  Check(Host().parameter->paramGetHandle(set, name, &param, nullptr));
  return param;
}

OfxImageClipHandle ClipHandle(OfxImageEffectHandle effect, const char* name) {
  OfxImageClipHandle clip = nullptr;
  Check(Host().effect->clipGetHandle(effect, name, &clip, nullptr));
  return clip;
}

int IntAt(OfxParamHandle param, OfxTime time) {
  int value = 0;
  Check(Host().parameter->paramGetValueAtTime(param, time, &value));
  return value;
}

bool KeyOn(const Instance& instance) {
  int value = 0;
  Check(Host().parameter->paramGetValue(instance.colorKeyEnable, &value));
  return value != 0;
}

// The key's colour, threshold and invert mean something only while the key is on (a nicety: a
// host that will not grey them out still renders right).
void EnableKeyControls(const Instance& instance, bool keyOn) {
  for (OfxParamHandle param : {instance.keyColor, instance.keyColorThreshold, instance.invert}) {
    Optional([&] {
      OfxPropertySetHandle props = nullptr;
      Check(Host().parameter->paramGetPropertySet(param, &props));
      Properties(props).Set(kOfxParamPropEnabled, keyOn ? 1 : 0);
    });
  }
}

OfxRectD SourceRegion(const Instance& instance, OfxTime time) {
  OfxRectD region{};
  Check(Host().effect->clipGetRegionOfDefinition(instance.source, time, &region));
  return region;
}

}  // namespace

const Instance& InstanceOf(OfxImageEffectHandle effect) {
  const auto* instance = static_cast<const Instance*>(Properties::OfEffect(effect).Pointer(kOfxPropInstanceData));
  if (instance == nullptr) throw OfxError{kOfxStatErrBadHandle};
  return *instance;
}

Values ValuesAt(const Instance& instance, OfxTime time) {
  constexpr int kMaxThreshold = 1020;
  Values v;
  v.params.colorThreshold = std::clamp(IntAt(instance.colorThreshold, time), 0, kMaxThreshold);
  v.params.softness = std::clamp(IntAt(instance.softness, time), 0, 100);
  v.params.bias = std::clamp(IntAt(instance.bias, time), 0, 100);
  v.params.keyColorThreshold = std::clamp(IntAt(instance.keyColorThreshold, time), 0, kMaxThreshold);
  double rgb[3] = {};
  Check(Host().parameter->paramGetValueAtTime(instance.keyColor, time, &rgb[0], &rgb[1], &rgb[2]));
  v.params.keyColor[0] = 255;
  for (int k = 0; k < 3; ++k) {
    // NaN compares false both ways and becomes 0.
    const double unit = rgb[k] > 0 ? std::min(rgb[k], 1.0) : 0.0;
    v.params.keyColor[k + 1] = static_cast<std::uint8_t>(std::lround(unit * 255));
  }
  if (IntAt(instance.colorKeyEnable, time) != 0) {
    v.mode = IntAt(instance.invert, time) != 0 ? SourceMode::KeyInvert : SourceMode::Key;
  }
  return v;
}

bool IsIdentityAt(const Values& values) { return values.params.softness == 0 && values.mode == SourceMode::Plain; }

OfxStatus CreateInstance(OfxImageEffectHandle effect) {
  OfxParamSetHandle params = nullptr;
  Check(Host().effect->getParamSet(effect, &params));
  auto instance = std::make_unique<Instance>();
  instance->source = ClipHandle(effect, kOfxImageEffectSimpleSourceClipName);
  instance->output = ClipHandle(effect, kOfxImageEffectOutputClipName);
  instance->colorThreshold = ParamHandle(params, kColorThreshold);
  instance->softness = ParamHandle(params, kSoftness);
  instance->bias = ParamHandle(params, kBias);
  instance->colorKeyEnable = ParamHandle(params, kColorKeyEnable);
  instance->keyColor = ParamHandle(params, kKeyColor);
  instance->keyColorThreshold = ParamHandle(params, kKeyColorThreshold);
  instance->invert = ParamHandle(params, kInvert);
  EnableKeyControls(*instance, KeyOn(*instance));
  Properties::OfEffect(effect).Set(kOfxPropInstanceData, instance.get());
  instance.release();
  return kOfxStatOK;
}

OfxStatus DestroyInstance(OfxImageEffectHandle effect) {
  const Properties p = Properties::OfEffect(effect);
  delete static_cast<Instance*>(p.Pointer(kOfxPropInstanceData));
  p.Set(kOfxPropInstanceData, static_cast<void*>(nullptr));
  return kOfxStatOK;
}

OfxStatus InstanceChanged(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs) {
  const Properties args(inArgs);
  if (args.String(kOfxPropType) != kOfxTypeParameter || args.String(kOfxPropName) != kColorKeyEnable) {
    return kOfxStatReplyDefault;
  }
  const Instance& instance = InstanceOf(effect);
  EnableKeyControls(instance, IntAt(instance.colorKeyEnable, args.Double(kOfxPropTime)) != 0);
  return kOfxStatOK;
}

// The output is stored like the source, with two exceptions for the key, which makes pixels
// transparent: a source without alpha gets one, and an opaque source's output is premultiplied, as
// compositing hosts expect, so that a keyed-out pixel adds nothing where it is laid over another.
OfxStatus GetClipPreferences(OfxImageEffectHandle effect, OfxPropertySetHandle outArgs) {
  const Instance& instance = InstanceOf(effect);
  const Properties source = Properties::OfClip(instance.source);
  std::string components = source.String(kOfxImageEffectPropComponents);
  std::string premultiplication = source.String(kOfxImageEffectPropPreMultiplication);
  if (KeyOn(instance)) {
    components = kOfxImageComponentRGBA;
    if (premultiplication == kOfxImageOpaque) premultiplication = kOfxImagePreMultiplied;
  }
  const Properties out(outArgs);
  if (components == kOfxImageComponentRGBA || components == kOfxImageComponentRGB) {
    out.Set((std::string(kOfxImageClipPropComponents_) + kOfxImageEffectOutputClipName).c_str(), components.c_str());
  }
  out.Set(kOfxImageEffectPropPreMultiplication, premultiplication.c_str());
  return kOfxStatOK;
}

// The output covers what the source covers.
OfxStatus GetRegionOfDefinition(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs,
                                OfxPropertySetHandle outArgs) {
  const OfxRectD region = SourceRegion(InstanceOf(effect), Properties(inArgs).Double(kOfxPropTime));
  Properties(outArgs).SetRect(kOfxImageEffectPropRegionOfDefinition, region);
  return kOfxStatOK;
}

// A pixel's smoothing can depend on a stair that runs across the whole frame, so whatever part of
// the output is asked for, all of the source is needed.
OfxStatus GetRegionsOfInterest(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs,
                               OfxPropertySetHandle outArgs) {
  const OfxRectD region = SourceRegion(InstanceOf(effect), Properties(inArgs).Double(kOfxPropTime));
  const std::string name = std::string(kOfxImageClipPropRoI_) + kOfxImageEffectSimpleSourceClipName;
  Properties(outArgs).SetRect(name.c_str(), region);
  return kOfxStatOK;
}

OfxStatus IsIdentity(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs) {
  const double time = Properties(inArgs).Double(kOfxPropTime);
  if (!IsIdentityAt(ValuesAt(InstanceOf(effect), time))) return kOfxStatReplyDefault;
  const Properties out(outArgs);
  out.Set(kOfxPropName, kOfxImageEffectSimpleSourceClipName);
  out.Set(kOfxPropTime, time);
  return kOfxStatOK;
}

}  // namespace tessaline::ofx
