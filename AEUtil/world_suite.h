// What the plug-in needs to know about the host's image buffers.
#pragma once

#include "ae_effect.h"

namespace AEUtil {

class WorldSuite {
 public:
  // The pixel format of a buffer the host handed in: asked of "PF World Suite" 2 where the host has
  // it, else derived from the deep-world flag (16-bit when set, 8-bit otherwise; never float).
  // Returns the host's error code, 0 on success.
  static PF_Err getPixelFormat(const PF_InData* in_data, PF_EffectWorld* world, PF_PixelFormat* format);
};

}  // namespace AEUtil
