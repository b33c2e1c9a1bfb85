#include "host_state.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace ofxhost {
namespace {

std::mutex gFailuresMutex;
std::vector<std::string> gFailures;

std::mutex gHandlesMutex;
std::unordered_map<const void*, Kind> gHandles;

thread_local ActionScope gCurrentAction;
std::atomic<std::uint64_t> gActionSerial{0};

}  // namespace

void RecordFailure(std::string what) {
  std::lock_guard lock(gFailuresMutex);
  gFailures.push_back(std::move(what));
}

OfxStatus Refuse(OfxStatus status, std::string what) {
  RecordFailure(std::move(what));
  return status;
}

std::vector<std::string> RecordedFailures() {
  std::lock_guard lock(gFailuresMutex);
  return gFailures;
}

void ClearFailures() {
  std::lock_guard lock(gFailuresMutex);
  gFailures.clear();
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::PropertySet: return "property set";
    case Kind::Effect: return "effect";
    case Kind::Clip: return "clip";
    case Kind::ParamSet: return "parameter set";
    case Kind::Param: return "parameter";
    case Kind::ImageMemory: return "image memory";
    case Kind::Memory: return "memory block";
    case Kind::Mutex: return "mutex";
  }
  return "handle";
}

void AddHandle(const void* handle, Kind kind) {
  std::lock_guard lock(gHandlesMutex);
  gHandles[handle] = kind;
}

void RemoveHandle(const void* handle) {
  std::lock_guard lock(gHandlesMutex);
  gHandles.erase(handle);
}

bool Valid(const void* handle, Kind kind, const char* call) {
  {
    std::lock_guard lock(gHandlesMutex);
    const auto found = gHandles.find(handle);
    if (handle != nullptr && found != gHandles.end() && found->second == kind) return true;
  }
  RecordFailure(std::string(call) + ": " + (handle == nullptr ? "a null " : "not a live ") + KindName(kind) +
                " handle");
  return false;
}

std::size_t CountHandles(Kind kind) {
  std::lock_guard lock(gHandlesMutex);
  std::size_t count = 0;
  for (const auto& [handle, k] : gHandles) count += k == kind ? 1 : 0;
  return count;
}

const ActionScope& CurrentAction() { return gCurrentAction; }
void SetCurrentAction(const ActionScope& scope) { gCurrentAction = scope; }
std::uint64_t NextActionSerial() { return ++gActionSerial; }

}  // namespace ofxhost
