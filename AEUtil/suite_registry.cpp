#include "suite_registry.h"

namespace AEUtil {

SuiteRegistry::~SuiteRegistry() {
  for (std::size_t i = 0; i < kSuiteSlotCount; ++i) {
    if (slots_[i] != nullptr) basic_->ReleaseSuite(kSuiteSlots[i].name, kSuiteSlots[i].version);
  }
}

const void* SuiteRegistry::Acquire(std::size_t slot) {
  if (slots_[slot] != nullptr) return slots_[slot];
  if (basic_ == nullptr) throw kSuiteUnavailable;
  const void* table = nullptr;
  const SPErr err = basic_->AcquireSuite(kSuiteSlots[slot].name, kSuiteSlots[slot].version, &table);
  if (err != 0 || table == nullptr) throw kSuiteUnavailable;
  slots_[slot] = table;
  return table;
}

ScopedSuite::ScopedSuite(const SPBasicSuite* basic, const char* name, std::int32_t version)
    : basic_(basic), name_(name), version_(version) {
  if (basic_ == nullptr) {
    error_ = kSuiteUnavailable;
    return;
  }
  const void* table = nullptr;
  const SPErr err = basic_->AcquireSuite(name_.c_str(), version_, &table);
  if (err != 0 || table == nullptr) {
    // A table handed back alongside an error is not ours to use or to release.
    error_ = err;
    return;
  }
  table_ = table;
}

ScopedSuite::~ScopedSuite() {
  if (table_ != nullptr) basic_->ReleaseSuite(name_.c_str(), version_);
}

}  // namespace AEUtil
