// The two ways to reach host suites: a registry that acquires each known suite at most once per
// operation and releases all of them when the operation ends, and a holder of exactly one suite.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ae_suites.h"
#include "sp_basic_suite.h"
#include "suite_slots.h"

namespace AEUtil {

// The host's error code for a suite that cannot be had through a registry accessor; thrown as a
// bare integer, which the entry point turns into the command's result.
constexpr std::int32_t kSuiteUnavailable = 516;

class SuiteRegistry {
 public:
  // Construction never calls the host; `basic` may be null, in which case every accessor throws.
  explicit SuiteRegistry(const SPBasicSuite* basic) : basic_(basic) {}
  // Releases every acquired slot once, in table order, ignoring the host's answers.
  ~SuiteRegistry();
  SuiteRegistry(const SuiteRegistry&) = delete;
  SuiteRegistry& operator=(const SuiteRegistry&) = delete;

  // The table of a slot, acquired on first use; throws kSuiteUnavailable as an int when the host
  // refuses it or hands back no table.
  const void* Acquire(std::size_t slot);
  const PF_WorldSuite1* WorldSuite1() {
    return static_cast<const PF_WorldSuite1*>(Acquire(static_cast<std::size_t>(SuiteSlot::World1)));
  }
  const PF_WorldTransformSuite1* WorldTransformSuite1() {
    return static_cast<const PF_WorldTransformSuite1*>(
        Acquire(static_cast<std::size_t>(SuiteSlot::WorldTransform1)));
  }

 private:
  const SPBasicSuite* basic_;
  std::array<const void*, kSuiteSlotCount> slots_{};
};

class ScopedSuite {
 public:
  // Acquires at once; never throws for a refused suite: table() is then null and error() holds what
  // the host answered (0 when it answered success but handed back no table).
  ScopedSuite(const SPBasicSuite* basic, const char* name, std::int32_t version);
  // Releases the suite if and only if it was acquired.
  ~ScopedSuite();
  ScopedSuite(const ScopedSuite&) = delete;
  ScopedSuite& operator=(const ScopedSuite&) = delete;

  const void* table() const { return table_; }
  template <class Suite>
  const Suite* as() const {
    return static_cast<const Suite*>(table_);
  }
  std::int32_t error() const { return error_; }

 private:
  const SPBasicSuite* basic_;
  const void* table_ = nullptr;
  std::string name_;
  std::int32_t version_;
  std::int32_t error_ = 0;
};

}  // namespace AEUtil
