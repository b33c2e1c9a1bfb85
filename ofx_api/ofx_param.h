// Parameters: the suite that defines them and reads and writes their values, and their properties.
// Values pass through C variadic arguments: doubles (never floats) and ints (never bools), pointers
// to them when reading.
#pragma once

#include "ofx_core.h"

extern "C" {

typedef struct OfxParamStruct* OfxParamHandle;
typedef struct OfxParamSetStruct* OfxParamSetHandle;

typedef struct OfxParameterSuiteV1 {
  OfxStatus (*paramDefine)(OfxParamSetHandle paramSet, const char* paramType, const char* name,
                           OfxPropertySetHandle* propertySet);
  OfxStatus (*paramGetHandle)(OfxParamSetHandle paramSet, const char* name, OfxParamHandle* param,
                              OfxPropertySetHandle* propertySet);
  OfxStatus (*paramSetGetPropertySet)(OfxParamSetHandle paramSet, OfxPropertySetHandle* propHandle);
  OfxStatus (*paramGetPropertySet)(OfxParamHandle param, OfxPropertySetHandle* propHandle);
  OfxStatus (*paramGetValue)(OfxParamHandle paramHandle, ...);
  OfxStatus (*paramGetValueAtTime)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetDerivative)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetIntegral)(OfxParamHandle paramHandle, OfxTime time1, OfxTime time2, ...);
  OfxStatus (*paramSetValue)(OfxParamHandle paramHandle, ...);
  OfxStatus (*paramSetValueAtTime)(OfxParamHandle paramHandle, OfxTime time, ...);
  OfxStatus (*paramGetNumKeys)(OfxParamHandle paramHandle, unsigned int* numberOfKeys);
  OfxStatus (*paramGetKeyTime)(OfxParamHandle paramHandle, unsigned int nthKey, OfxTime* time);
  OfxStatus (*paramGetKeyIndex)(OfxParamHandle paramHandle, OfxTime time, int direction, int* index);
  OfxStatus (*paramDeleteKey)(OfxParamHandle paramHandle, OfxTime time);
  OfxStatus (*paramDeleteAllKeys)(OfxParamHandle paramHandle);
  OfxStatus (*paramCopy)(OfxParamHandle paramTo, OfxParamHandle paramFrom, OfxTime dstOffset,
                         const OfxRangeD* frameRange);
  OfxStatus (*paramEditBegin)(OfxParamSetHandle paramSet, const char* name);
  OfxStatus (*paramEditEnd)(OfxParamSetHandle paramSet);
} OfxParameterSuiteV1;

}  // extern "C"

// ---- Parameter properties, types and values ----------------------------------------------------------
inline constexpr char kOfxParamHostPropMaxParameters[] = "OfxParamHostPropMaxParameters";
inline constexpr char kOfxParamHostPropSupportsCustomInteract[] = "OfxParamHostPropSupportsCustomInteract";
inline constexpr char kOfxParamPropType[] = "OfxParamPropType";
inline constexpr char kOfxParamPropHint[] = "OfxParamPropHint";
inline constexpr char kOfxParamPropScriptName[] = "OfxParamPropScriptName";
inline constexpr char kOfxParamPropDefault[] = "OfxParamPropDefault";
inline constexpr char kOfxParamPropMin[] = "OfxParamPropMin";
inline constexpr char kOfxParamPropMax[] = "OfxParamPropMax";
inline constexpr char kOfxParamPropDisplayMin[] = "OfxParamPropDisplayMin";
inline constexpr char kOfxParamPropDisplayMax[] = "OfxParamPropDisplayMax";
inline constexpr char kOfxParamPropIncrement[] = "OfxParamPropIncrement";
inline constexpr char kOfxParamPropDigits[] = "OfxParamPropDigits";
inline constexpr char kOfxParamPropDoubleType[] = "OfxParamPropDoubleType";
inline constexpr char kOfxParamPropDimensionLabel[] = "OfxParamPropDimensionLabel";
inline constexpr char kOfxParamPropAnimates[] = "OfxParamPropAnimates";
inline constexpr char kOfxParamPropEvaluateOnChange[] = "OfxParamPropEvaluateOnChange";
inline constexpr char kOfxParamPropPersistant[] = "OfxParamPropPersistant";
inline constexpr char kOfxParamPropCanUndo[] = "OfxParamPropCanUndo";
inline constexpr char kOfxParamPropParent[] = "OfxParamPropParent";
inline constexpr char kOfxParamPropGroupOpen[] = "OfxParamPropGroupOpen";
inline constexpr char kOfxParamPropEnabled[] = "OfxParamPropEnabled";
inline constexpr char kOfxParamPropSecret[] = "OfxParamPropSecret";
inline constexpr char kOfxParamPropPageChild[] = "OfxParamPropPageChild";
inline constexpr char kOfxParamTypeInteger[] = "OfxParamTypeInteger";
inline constexpr char kOfxParamTypeInteger2D[] = "OfxParamTypeInteger2D";
inline constexpr char kOfxParamTypeInteger3D[] = "OfxParamTypeInteger3D";
inline constexpr char kOfxParamTypeDouble[] = "OfxParamTypeDouble";
inline constexpr char kOfxParamTypeDouble2D[] = "OfxParamTypeDouble2D";
inline constexpr char kOfxParamTypeDouble3D[] = "OfxParamTypeDouble3D";
inline constexpr char kOfxParamTypeRGB[] = "OfxParamTypeRGB";
inline constexpr char kOfxParamTypeRGBA[] = "OfxParamTypeRGBA";
inline constexpr char kOfxParamTypeBoolean[] = "OfxParamTypeBoolean";
inline constexpr char kOfxParamTypeChoice[] = "OfxParamTypeChoice";
inline constexpr char kOfxParamTypeStrChoice[] = "OfxParamTypeStrChoice";
inline constexpr char kOfxParamTypeString[] = "OfxParamTypeString";
inline constexpr char kOfxParamTypeCustom[] = "OfxParamTypeCustom";
inline constexpr char kOfxParamTypeBytes[] = "OfxParamTypeBytes";
inline constexpr char kOfxParamTypePushButton[] = "OfxParamTypePushButton";
inline constexpr char kOfxParamTypeGroup[] = "OfxParamTypeGroup";
inline constexpr char kOfxParamTypePage[] = "OfxParamTypePage";
inline constexpr char kOfxParamTypeParametric[] = "OfxParamTypeParametric";
inline constexpr char kOfxParamDoubleTypePlain[] = "OfxParamDoubleTypePlain";
inline constexpr char kOfxParamDoubleTypeAngle[] = "OfxParamDoubleTypeAngle";
inline constexpr char kOfxParamDoubleTypeScale[] = "OfxParamDoubleTypeScale";
inline constexpr char kOfxParamDoubleTypeTime[] = "OfxParamDoubleTypeTime";
inline constexpr char kOfxParamDoubleTypeAbsoluteTime[] = "OfxParamDoubleTypeAbsoluteTime";
inline constexpr char kOfxParamDoubleTypeX[] = "OfxParamDoubleTypeX";
inline constexpr char kOfxParamDoubleTypeXAbsolute[] = "OfxParamDoubleTypeXAbsolute";
inline constexpr char kOfxParamDoubleTypeY[] = "OfxParamDoubleTypeY";
inline constexpr char kOfxParamDoubleTypeYAbsolute[] = "OfxParamDoubleTypeYAbsolute";
inline constexpr char kOfxParamDoubleTypeXY[] = "OfxParamDoubleTypeXY";
inline constexpr char kOfxParamDoubleTypeXYAbsolute[] = "OfxParamDoubleTypeXYAbsolute";
