#pragma once
// What the whole simulated host keeps, whichever suite function is called: the record of everything
// an effect did against the API's contract, and the handles the host has given out, so that a
// function given anything else can say so instead of following a wild pointer.

#include <cstdint>
#include <string>
#include <vector>

#include "ofx_core.h"

namespace ofxhost {

// Records one failure of the effect's: a sentence naming the call and what was wrong.
void RecordFailure(std::string what);
// Records `what` and returns `status`, for suite functions that refuse a call.
OfxStatus Refuse(OfxStatus status, std::string what);
std::vector<std::string> RecordedFailures();
void ClearFailures();

enum class Kind { PropertySet, Effect, Clip, ParamSet, Param, ImageMemory, Memory, Mutex };
const char* KindName(Kind kind);

void AddHandle(const void* handle, Kind kind);
void RemoveHandle(const void* handle);
// Whether `handle` is a live one of this kind; records a failure naming `call` if not.
bool Valid(const void* handle, Kind kind, const char* call);
std::size_t CountHandles(Kind kind);

// The action the calling thread is inside: its name and a number no other call of an action gets,
// by which images fetched in it are found when it ends. Threads the effect starts through the
// multithread suite are inside the action of the thread that started them.
struct ActionScope {
  const char* action = nullptr;
  std::uint64_t serial = 0;
  void* render = nullptr;  // the render the action belongs to (host.cpp), or null
};
const ActionScope& CurrentAction();
void SetCurrentAction(const ActionScope& scope);
std::uint64_t NextActionSerial();

}  // namespace ofxhost
