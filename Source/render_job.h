// The record of one render: parameter values, the host's blocks and the two image buffers.
#pragma once

#include "ae_effect.h"

// Filled by the render handlers (the parameter fields by the parameter descriptors, byte for byte)
// and only read by the kernels. The layout is plain: in the smart path the host keeps it in a handle
// between pre-render and render.
struct RenderJob {
  A_long colorThreshold;     // 8-bit units
  A_long softness;           // 0..100
  A_long bias;               // 0..100
  A_char colorKeyEnable;     // non-zero = on
  PF_Pixel keyColor;         // alpha, red, green, blue; alpha unused
  A_long keyColorThreshold;  // 8-bit units
  A_char invert;             // non-zero = on
  PF_InData* inData;
  PF_OutData* outData;
  PF_EffectWorld* inputWorld;
  PF_EffectWorld* outputWorld;
  PF_PixelFormat pixelFormat;  // PF_PixelFormat_INVALID until the handler has determined it
};
