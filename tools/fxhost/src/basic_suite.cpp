// The basic suite: the directory of the host's suites, and its memory blocks.

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "ae_suites.h"
#include "host_core.h"

namespace fxhost::detail {
namespace {

std::string callText(const char* what, const std::string& name, A_long version, SPErr result) {
  return std::string(what) + " \"" + name + "\" " + std::to_string(version) + ": " + std::to_string(result);
}

SPErr acquireSuite(const char* name, A_long version, const void** suite) {
  LockedHost host;
  if (suite != nullptr) *suite = nullptr;
  if (name == nullptr || suite == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const std::string key(name);
  const void* table = host->faults.refusedSuites.contains({key, version}) ? nullptr : findSuite(name, version);
  const SPErr result = table != nullptr ? kSPNoError : kSPSuiteNotFoundError;
  if (table != nullptr) {
    *suite = table;
    host->accounts.suiteAcquired(key, version);
  }
  host->records.suiteCalls.push_back(callText("acquire", key, version, result));
  return result;
}

SPErr releaseSuite(const char* name, A_long version) {
  LockedHost host;
  if (name == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  const std::string key(name);
  const SPErr result = host->accounts.suiteReleased(key, version) ? kSPNoError : kSPSuiteNotFoundError;
  host->records.suiteCalls.push_back(callText("release", key, version, result));
  return result;
}

SPBoolean isEqual(const char* token1, const char* token2) {
  if (token1 == nullptr || token2 == nullptr) return token1 == token2;
  return std::strcmp(token1, token2) == 0;
}

SPErr allocateBlock(A_u_longlong size, void** block) {
  if (block == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  *block = std::malloc(size == 0 ? 1 : static_cast<std::size_t>(size));
  if (*block == nullptr) return PF_Err_OUT_OF_MEMORY;
  LockedHost()->accounts.blockAllocated(*block);
  return kSPNoError;
}

SPErr freeBlock(void* block) {
  if (!LockedHost()->accounts.blockFreed(block)) return PF_Err_BAD_CALLBACK_PARAM;
  std::free(block);
  return kSPNoError;
}

SPErr reallocateBlock(void* block, A_u_longlong size, void** newBlock) {
  if (newBlock == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  if (block == nullptr) return allocateBlock(size, newBlock);
  LockedHost host;
  if (!host->accounts.blockFreed(block)) return PF_Err_BAD_CALLBACK_PARAM;
  void* moved = std::realloc(block, size == 0 ? 1 : static_cast<std::size_t>(size));
  *newBlock = moved != nullptr ? moved : block;
  host->accounts.blockAllocated(*newBlock);
  return moved != nullptr ? kSPNoError : PF_Err_OUT_OF_MEMORY;
}

SPErr undefined() { return kSPUnimplementedError; }

}  // namespace

const void* findSuite(const char* name, A_long version) {
  const std::string_view wanted(name);
  if (wanted == kPFWorldSuite) return worldSuiteTable(version);
  if (wanted == kPFWorldTransformSuite && version == kPFWorldTransformSuiteVersion1) return worldTransformSuiteTable();
  if (wanted == kPFParamUtilsSuite) return paramUtilsSuiteTable(version);
  if (wanted == kPFAppSuite && version == kPFAppSuiteVersion5) return appSuiteTable();
  return nullptr;
}

void fillBasicSuite(SPBasicSuite& basic) {
  basic.AcquireSuite = acquireSuite;
  basic.ReleaseSuite = releaseSuite;
  basic.IsEqual = isEqual;
  basic.AllocateBlock = allocateBlock;
  basic.FreeBlock = freeBlock;
  basic.ReallocateBlock = reallocateBlock;
  basic.Undefined = undefined;
}

}  // namespace fxhost::detail
