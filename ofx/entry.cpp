// The binary's two exports and the effect's entry point, which routes each action and turns every
// failure into a status for the host: no exception leaves the plug-in.
#include <cstring>
#include <new>

#include "actions.h"
#include "identity.h"
#include "suites.h"

#if defined(_WIN32)
#define TESSALINE_OFX_EXPORT __declspec(dllexport)
#else
#define TESSALINE_OFX_EXPORT __attribute__((visibility("default")))
#endif

namespace tessaline::ofx {
namespace {

OfxStatus Dispatch(const char* action, OfxImageEffectHandle effect, OfxPropertySetHandle inArgs,
                   OfxPropertySetHandle outArgs) {
  const auto is = [action](const char* name) { return std::strcmp(action, name) == 0; };
  if (is(kOfxActionLoad)) return LoadSuites();
  if (Host().property == nullptr) return kOfxStatErrMissingHostFeature;  // not loaded
  if (is(kOfxImageEffectActionRender)) return Render(effect, inArgs);
  if (is(kOfxImageEffectActionIsIdentity)) return IsIdentity(effect, inArgs, outArgs);
  if (is(kOfxImageEffectActionGetRegionsOfInterest)) return GetRegionsOfInterest(effect, inArgs, outArgs);
  if (is(kOfxImageEffectActionGetRegionOfDefinition)) return GetRegionOfDefinition(effect, inArgs, outArgs);
  if (is(kOfxImageEffectActionGetClipPreferences)) return GetClipPreferences(effect, outArgs);
  if (is(kOfxActionInstanceChanged)) return InstanceChanged(effect, inArgs);
  if (is(kOfxActionCreateInstance)) return CreateInstance(effect);
  if (is(kOfxActionDestroyInstance)) return DestroyInstance(effect);
  if (is(kOfxActionDescribe)) return Describe(effect);
  if (is(kOfxImageEffectActionDescribeInContext)) return DescribeInContext(effect, inArgs);
  if (is(kOfxActionUnload)) {
    UnloadSuites();
    return kOfxStatOK;
  }
  return kOfxStatReplyDefault;
}

OfxStatus MainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                    OfxPropertySetHandle outArgs) {
  if (action == nullptr) return kOfxStatErrBadHandle;
  try {
    auto* effect = static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
    return Dispatch(action, effect, inArgs, outArgs);
  } catch (const OfxError& e) {
    return e.status == kOfxStatOK ? kOfxStatFailed : e.status;
  } catch (const std::bad_alloc&) {
    return kOfxStatErrMemory;
  } catch (...) {
    return kOfxStatFailed;
  }
}

OfxPlugin gPlugin = {kOfxImageEffectPluginApi, kOfxImageEffectPluginApiVersion, kIdentifier,
                     kVersionMajor, kVersionMinor, SetHost, MainEntry};

}  // namespace
}  // namespace tessaline::ofx

extern "C" {

TESSALINE_OFX_EXPORT int OfxGetNumberOfPlugins(void) { return 1; }

TESSALINE_OFX_EXPORT OfxPlugin* OfxGetPlugin(int nth) { return nth == 0 ? &tessaline::ofx::gPlugin : nullptr; }

}  // extern "C"
