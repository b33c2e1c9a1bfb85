// One instance of the effect: the handles of its clips and parameters, fetched once when it is
// created, and its parameter values at a time as the engine takes them.
#pragma once

#include "engine.h"
#include "ofx_image_effect.h"

namespace tessaline::ofx {

struct Instance {
  OfxImageClipHandle source = nullptr;
  OfxImageClipHandle output = nullptr;
  OfxParamHandle colorThreshold = nullptr;
  OfxParamHandle softness = nullptr;
  OfxParamHandle bias = nullptr;
  OfxParamHandle colorKeyEnable = nullptr;
  OfxParamHandle keyColor = nullptr;
  OfxParamHandle keyColorThreshold = nullptr;
  OfxParamHandle invert = nullptr;
};

// The instance the host created for `effect` (throws OfxError if it has none).
const Instance& InstanceOf(OfxImageEffectHandle effect);

struct Values {
  Params params;
  SourceMode mode = SourceMode::Plain;
};

// The parameters at `time`, each brought into the engine's range; the key colour's 0..1 components
// are rounded to 8-bit ones.
Values ValuesAt(const Instance& instance, OfxTime time);

// Nothing to do: no softness and no key, so the output is the source.
bool IsIdentityAt(const Values& values);

}  // namespace tessaline::ofx
