// The process-wide tables of the effect's parameter descriptors, built once on the first command
// and only read afterwards (render threads included).
#pragma once

#include <cstddef>

#include "base_param.h"

struct ParamRegistry {
  static constexpr std::size_t kByIdSize = 16383;
  static constexpr std::size_t kByIndexSize = 16384;

  // Owns the descriptors; entries 0 to descriptorCount - 1 sorted by ascending id, the rest null.
  BaseParam* byId[kByIdSize];
  // Entry 0 (the input layer) is always null; entries 1 to descriptorCount by ascending index.
  BaseParam* byIndex[kByIndexSize];
  A_long descriptorCount;
  A_long paramCount;  // descriptorCount + 1: the host's count, with the input layer
  A_long nextIndex;   // handed to each new descriptor as its index

  // The descriptor at a host parameter index, or null (index 0, past the end, or out of range).
  BaseParam* at(std::size_t index) const { return index < kByIndexSize ? byIndex[index] : nullptr; }
};

ParamRegistry& paramRegistry();

// Builds the effect's nine descriptors, with indices 1 to 9, and resolves their controllers.
void buildParamSet();

// Deletes every descriptor and clears both tables; for library unload.
void destroyParamSet();

// Calls `visit(descriptor)` for the descriptors in index order from index 1, up to the first null
// entry or `limit` descriptors, and stops early when `visit` returns non-zero; returns that result.
template <class Visit>
PF_Err forEachDescriptor(Visit visit, std::size_t limit = ParamRegistry::kByIndexSize - 1) {
  const ParamRegistry& registry = paramRegistry();
  for (std::size_t i = 1; i <= limit; ++i) {
    BaseParam* descriptor = registry.at(i);
    if (descriptor == nullptr) break;
    if (const PF_Err err = visit(*descriptor); err != PF_Err_NONE) return err;
  }
  return PF_Err_NONE;
}
