#include "world_suite.h"

#include "suite_registry.h"

namespace AEUtil {

PF_Err WorldSuite::getPixelFormat(const PF_InData* in_data, PF_EffectWorld* world, PF_PixelFormat* format) {
  const ScopedSuite suite(in_data->pica_basicP, kPFWorldSuite, kPFWorldSuiteVersion2);
  if (const auto* worlds = suite.as<PF_WorldSuite2>()) return worlds->PF_GetPixelFormat(world, format);
  *format = (world->world_flags & PF_WorldFlag_DEEP) != 0 ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB32;
  return PF_Err_NONE;
}

}  // namespace AEUtil
