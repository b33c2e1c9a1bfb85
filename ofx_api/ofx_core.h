// The core of the OpenFX API as both sides of it see it: the types every call uses, the two
// records a binary exchanges with its host, status codes, the generic actions and properties, and
// the suites' names. Written from the measured facts of the public 1.5.1 API
// (tests/ofx_api/data/ofx-api.tsv), which a test checks row by row.
#pragma once

#include <cstddef>
#include <limits>

extern "C" {

typedef int OfxStatus;
typedef double OfxTime;  // in frames
typedef struct OfxPropertySetStruct* OfxPropertySetHandle;

// The entry of a plug-in: an action name, the object it concerns (an effect descriptor or instance,
// or nothing), and the property sets of its arguments and results.
typedef OfxStatus OfxPluginEntryPoint(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                                      OfxPropertySetHandle outArgs);

// What a host hands a plug-in: its own property set and the way to fetch suites (null for a suite,
// or a version of it, the host does not have).
typedef struct OfxHost {
  OfxPropertySetHandle host;
  const void* (*fetchSuite)(OfxPropertySetHandle host, const char* suiteName, int suiteVersion);
} OfxHost;

// One plug-in of a binary, as OfxGetPlugin returns it; it must stay valid while the binary is loaded.
typedef struct OfxPlugin {
  const char* pluginApi;
  int apiVersion;
  const char* pluginIdentifier;
  unsigned int pluginVersionMajor;
  unsigned int pluginVersionMinor;
  void (*setHost)(OfxHost* host);
  OfxPluginEntryPoint* mainEntry;
} OfxPlugin;

typedef struct OfxPointI {
  int x, y;
} OfxPointI;

typedef struct OfxPointD {
  double x, y;
} OfxPointD;

typedef struct OfxRangeI {
  int min, max;
} OfxRangeI;

typedef struct OfxRangeD {
  double min, max;
} OfxRangeD;

// Half-open: x1 <= x < x2, y1 <= y < y2.
typedef struct OfxRectI {
  int x1, y1, x2, y2;
} OfxRectI;

typedef struct OfxRectD {
  double x1, y1, x2, y2;
} OfxRectD;

// The two functions every plug-in binary exports, unmangled; OfxSetHost, optional since 1.5, is not
// exported by ours.
typedef int OfxGetNumberOfPluginsFunction(void);
typedef OfxPlugin* OfxGetPluginFunction(int nth);

}  // extern "C"

inline constexpr char kOfxGetNumberOfPluginsExport[] = "OfxGetNumberOfPlugins";
inline constexpr char kOfxGetPluginExport[] = "OfxGetPlugin";
inline constexpr char kOfxImageEffectPluginApi[] = "OfxImageEffectPluginAPI";
inline constexpr int kOfxImageEffectPluginApiVersion = 1;

// Suite names; the version is the second argument of fetchSuite.
inline constexpr char kOfxPropertySuite[] = "OfxPropertySuite";
inline constexpr char kOfxImageEffectSuite[] = "OfxImageEffectSuite";
inline constexpr char kOfxParameterSuite[] = "OfxParameterSuite";
inline constexpr char kOfxMemorySuite[] = "OfxMemorySuite";
inline constexpr char kOfxMultiThreadSuite[] = "OfxMultiThreadSuite";
inline constexpr char kOfxMessageSuite[] = "OfxMessageSuite";
inline constexpr char kOfxInteractSuite[] = "OfxInteractSuite";

// ---- Status codes, actions, generic properties and their values ----------------------------------
inline constexpr char kOfxActionLoad[] = "OfxActionLoad";
inline constexpr char kOfxActionDescribe[] = "OfxActionDescribe";
inline constexpr char kOfxActionCreateInstance[] = "OfxActionCreateInstance";
inline constexpr char kOfxActionBeginInstanceChanged[] = "OfxActionBeginInstanceChanged";
inline constexpr char kOfxActionInstanceChanged[] = "OfxActionInstanceChanged";
inline constexpr char kOfxActionEndInstanceChanged[] = "OfxActionEndInstanceChanged";
inline constexpr char kOfxActionBeginInstanceEdit[] = "OfxActionBeginInstanceEdit";
inline constexpr char kOfxActionEndInstanceEdit[] = "OfxActionEndInstanceEdit";
inline constexpr char kOfxActionPurgeCaches[] = "OfxActionPurgeCaches";
inline constexpr char kOfxActionSyncPrivateData[] = "OfxActionSyncPrivateData";
inline constexpr char kOfxActionDestroyInstance[] = "OfxActionDestroyInstance";
inline constexpr char kOfxActionUnload[] = "OfxActionUnload";
inline constexpr char kOfxActionDialog[] = "OfxActionDialog";
inline constexpr char kOfxActionOpenGLContextAttached[] = "OfxActionOpenGLContextAttached";
inline constexpr char kOfxActionOpenGLContextDetached[] = "kOfxActionOpenGLContextDetached";
inline constexpr char kOfxActionDescribeInteract[] = "OfxActionDescribe";
inline constexpr char kOfxActionCreateInstanceInteract[] = "OfxActionCreateInstance";
inline constexpr char kOfxActionDestroyInstanceInteract[] = "OfxActionDestroyInstance";
inline constexpr OfxStatus kOfxStatOK = 0;
inline constexpr OfxStatus kOfxStatFailed = 1;
inline constexpr OfxStatus kOfxStatErrFatal = 2;
inline constexpr OfxStatus kOfxStatErrUnknown = 3;
inline constexpr OfxStatus kOfxStatErrMissingHostFeature = 4;
inline constexpr OfxStatus kOfxStatErrUnsupported = 5;
inline constexpr OfxStatus kOfxStatErrExists = 6;
inline constexpr OfxStatus kOfxStatErrFormat = 7;
inline constexpr OfxStatus kOfxStatErrMemory = 8;
inline constexpr OfxStatus kOfxStatErrBadHandle = 9;
inline constexpr OfxStatus kOfxStatErrBadIndex = 10;
inline constexpr OfxStatus kOfxStatErrValue = 11;
inline constexpr OfxStatus kOfxStatReplyYes = 12;
inline constexpr OfxStatus kOfxStatReplyNo = 13;
inline constexpr OfxStatus kOfxStatReplyDefault = 14;
inline constexpr OfxStatus kOfxStatUnlicensed = 15;
inline constexpr OfxStatus kOfxStatErrImageFormat = 1000;
inline constexpr OfxStatus kOfxStatGLOutOfMemory = 1001;
inline constexpr OfxStatus kOfxStatGPUOutOfMemory = 1001;
inline constexpr OfxStatus kOfxStatGLRenderFailed = 1002;
inline constexpr OfxStatus kOfxStatGPURenderFailed = 1002;
inline constexpr char kOfxPropType[] = "OfxPropType";
inline constexpr char kOfxPropName[] = "OfxPropName";
inline constexpr char kOfxPropLabel[] = "OfxPropLabel";
inline constexpr char kOfxPropShortLabel[] = "OfxPropShortLabel";
inline constexpr char kOfxPropLongLabel[] = "OfxPropLongLabel";
inline constexpr char kOfxPropVersion[] = "OfxPropVersion";
inline constexpr char kOfxPropVersionLabel[] = "OfxPropVersionLabel";
inline constexpr char kOfxPropPluginDescription[] = "OfxPropPluginDescription";
inline constexpr char kOfxPropAPIVersion[] = "OfxPropAPIVersion";
inline constexpr char kOfxPropTime[] = "OfxPropTime";
inline constexpr char kOfxPropIsInteractive[] = "OfxPropIsInteractive";
inline constexpr char kOfxPropInstanceData[] = "OfxPropInstanceData";
inline constexpr char kOfxPropChangeReason[] = "OfxPropChangeReason";
inline constexpr char kOfxPluginPropFilePath[] = "OfxPluginPropFilePath";
inline constexpr char kOfxPluginPropParamPageOrder[] = "OfxPluginPropParamPageOrder";
inline constexpr char kOfxTypeImageEffectHost[] = "OfxTypeImageEffectHost";
inline constexpr char kOfxTypeImageEffect[] = "OfxTypeImageEffect";
inline constexpr char kOfxTypeImageEffectInstance[] = "OfxTypeImageEffectInstance";
inline constexpr char kOfxTypeClip[] = "OfxTypeClip";
inline constexpr char kOfxTypeImage[] = "OfxTypeImage";
inline constexpr char kOfxTypeParameter[] = "OfxTypeParameter";
inline constexpr char kOfxTypeParameterInstance[] = "OfxTypeParameterInstance";
inline constexpr char kOfxChangeUserEdited[] = "OfxChangeUserEdited";
inline constexpr char kOfxChangePluginEdited[] = "OfxChangePluginEdited";
inline constexpr char kOfxChangeTime[] = "OfxChangeTime";
inline constexpr int kOfxFlagInfiniteMin = std::numeric_limits<int>::min();
inline constexpr int kOfxFlagInfiniteMax = std::numeric_limits<int>::max();
