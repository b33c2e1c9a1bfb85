// What the effect tells a host about itself: once for the plug-in, and once for each context it is
// used in (its clips and parameters).
#include "actions.h"

#include <cstring>
#include <string>

#include "identity.h"
#include "params.h"
#include "suites.h"

namespace tessaline::ofx {

OfxStatus Describe(OfxImageEffectHandle effect) {
  const Properties p = Properties::OfEffect(effect);
  p.Set(kOfxPropLabel, kLabel);
  // Filter for hosts that offer effects by context; General for those (like Nuke) that only offer
  // that one. Both have the same two clips.
  p.Set(kOfxImageEffectPropSupportedContexts, {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral});
  p.Set(kOfxImageEffectPropSupportedPixelDepths, {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat});
  // What follows describes the effect better to a host that knows it; the effect works without.
  Optional([&] { p.Set(kOfxImageEffectPluginPropGrouping, kGrouping); });
  Optional([&] {
    p.Set(kOfxPropVersion, {static_cast<int>(kVersionMajor), static_cast<int>(kVersionMinor),
                            static_cast<int>(kVersionBugfix)});
  });
  Optional([&] { p.Set(kOfxPropVersionLabel, kVersionLabel); });
  Optional([&] { p.Set(kOfxPropPluginDescription, kDescription); });
  // Any render window renders exactly (each smooths the whole source), and the render scale
  // changes no parameter.
  Optional([&] { p.Set(kOfxImageEffectPropSupportsTiles, 1); });
  Optional([&] { p.Set(kOfxImageEffectPropSupportsMultiResolution, 1); });
  Optional([&] { p.Set(kOfxImageEffectPropTemporalClipAccess, 0); });
  Optional([&] { p.Set(kOfxImageEffectPluginRenderThreadSafety, kOfxImageEffectRenderFullySafe); });
  // Every render smooths the whole source, so a host that split one frame into windows on its
  // threads would do the same work once per window: one call per frame is faster.
  Optional([&] { p.Set(kOfxImageEffectPluginPropHostFrameThreading, 0); });
  Optional([&] { p.Set(kOfxImageEffectPropSupportsMultipleClipDepths, 0); });
  // The key decides whether the output has alpha (and how it is stored).
  Optional([&] { p.Set(kOfxImageEffectPropClipPreferencesSlaveParam, {static_cast<const char*>(kColorKeyEnable)}); });
  return kOfxStatOK;
}

namespace {

void DefineClip(OfxImageEffectHandle effect, const char* name) {
  OfxPropertySetHandle set = nullptr;
  Check(Host().effect->clipDefine(effect, name, &set));
  const Properties p(set);
  p.Set(kOfxImageEffectPropSupportedComponents, {kOfxImageComponentRGBA, kOfxImageComponentRGB});
  Optional([&] { p.Set(kOfxImageEffectPropSupportsTiles, 1); });
  Optional([&] { p.Set(kOfxImageEffectPropTemporalClipAccess, 0); });
}

const char* TypeOf(ParamKind kind) {
  switch (kind) {
    case ParamKind::Integer: return kOfxParamTypeInteger;
    case ParamKind::Boolean: return kOfxParamTypeBoolean;
    case ParamKind::Colour: return kOfxParamTypeRGB;
    case ParamKind::Group: return kOfxParamTypeGroup;
  }
  return kOfxParamTypeGroup;
}

void DefineParam(OfxParamSetHandle set, const ParamSpec& spec) {
  OfxPropertySetHandle props = nullptr;
  Check(Host().parameter->paramDefine(set, TypeOf(spec.kind), spec.name, &props));
  const Properties p(props);
  p.Set(kOfxPropLabel, spec.label);
  Optional([&] { p.Set(kOfxParamPropHint, spec.hint); });
  if (spec.parent[0] != '\0') Optional([&] { p.Set(kOfxParamPropParent, spec.parent); });
  switch (spec.kind) {
    case ParamKind::Integer:
      p.Set(kOfxParamPropDefault, spec.defaultValue);
      p.Set(kOfxParamPropMin, spec.min);
      p.Set(kOfxParamPropMax, spec.max);
      Optional([&] { p.Set(kOfxParamPropDisplayMin, spec.displayMin); });
      Optional([&] { p.Set(kOfxParamPropDisplayMax, spec.displayMax); });
      break;
    case ParamKind::Boolean:
      p.Set(kOfxParamPropDefault, spec.defaultValue);
      // The key decides the output's channels and storage, which hold for a whole clip: the
      // switch cannot change over time.
      if (std::strcmp(spec.name, kColorKeyEnable) == 0) Optional([&] { p.Set(kOfxParamPropAnimates, 0); });
      break;
    case ParamKind::Colour:
      p.Set(kOfxParamPropDefault, {1.0, 1.0, 1.0});
      break;
    case ParamKind::Group:
      Optional([&] { p.Set(kOfxParamPropGroupOpen, 1); });
      break;
  }
}

}  // namespace

OfxStatus DescribeInContext(OfxImageEffectHandle effect, OfxPropertySetHandle inArgs) {
  const std::string context = Properties(inArgs).String(kOfxImageEffectPropContext);
  if (context != kOfxImageEffectContextFilter && context != kOfxImageEffectContextGeneral) {
    return kOfxStatErrUnsupported;
  }
  DefineClip(effect, kOfxImageEffectSimpleSourceClipName);
  DefineClip(effect, kOfxImageEffectOutputClipName);
  OfxParamSetHandle params = nullptr;
  Check(Host().effect->getParamSet(effect, &params));
  for (const ParamSpec& spec : kParams) DefineParam(params, spec);
  return kOfxStatOK;
}

}  // namespace tessaline::ofx
