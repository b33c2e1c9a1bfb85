// The suites besides properties, parameters and image effects: general memory, threads and
// mutexes, messages; and fetchSuite, which hands out every suite the host has and records a fetch
// of any other.
#include <cstdarg>
#include <cstdio>
#include <thread>

#include "host_internal.h"

namespace ofxhost {
namespace {

// ---- Memory -----------------------------------------------------------------------------------------

std::mutex gBlocksMutex;
std::map<void*, std::unique_ptr<std::vector<unsigned char>>> gBlocks;

OfxStatus MemoryAlloc(void*, size_t bytes, void** data) {
  if (data == nullptr) return Refuse(kOfxStatErrBadHandle, "memoryAlloc: a null place for the pointer");
  try {
    auto block = std::make_unique<std::vector<unsigned char>>(std::max<size_t>(bytes, 1));
    *data = block->data();
    std::lock_guard lock(gBlocksMutex);
    AddHandle(*data, Kind::Memory);
    gBlocks.emplace(*data, std::move(block));
    return kOfxStatOK;
  } catch (const std::bad_alloc&) {
    *data = nullptr;
    return kOfxStatErrMemory;
  }
}

OfxStatus MemoryFree(void* data) {
  std::lock_guard lock(gBlocksMutex);
  if (!Valid(data, Kind::Memory, "memoryFree")) return kOfxStatErrBadHandle;
  RemoveHandle(data);
  gBlocks.erase(data);
  return kOfxStatOK;
}

const OfxMemorySuiteV1 kMemory = {MemoryAlloc, MemoryFree};

// ---- Threads -------------------------------------------------------------------------------------

thread_local unsigned gThreadIndex = 0;
thread_local bool gSpawned = false;

struct Mutex {
  std::recursive_mutex mutex;
};

Mutex* MutexOf(OfxMutexHandle h, const char* call) {
  return Valid(h, Kind::Mutex, call) ? reinterpret_cast<Mutex*>(h) : nullptr;
}

OfxStatus MultiThread(OfxThreadFunctionV1* function, unsigned threads, void* argument) {
  if (function == nullptr) return Refuse(kOfxStatErrBadHandle, "multiThread: a null function");
  if (threads == 0) threads = 1;
  const ActionScope scope = CurrentAction();  // the spawned threads work inside the caller's action
  std::vector<std::thread> pool;
  for (unsigned i = 0; i < threads; ++i) {
    pool.emplace_back([=] {
      SetCurrentAction(scope);
      gThreadIndex = i;
      gSpawned = true;
      function(i, threads, argument);
    });
  }
  for (std::thread& t : pool) t.join();
  return kOfxStatOK;
}

const OfxMultiThreadSuiteV1 kThreads = {
    MultiThread,
    [](unsigned* cpus) {
      if (cpus == nullptr) return kOfxStatErrBadHandle;
      *cpus = CurrentHost().options.cpus;
      return kOfxStatOK;
    },
    [](unsigned* index) {
      if (index == nullptr) return kOfxStatErrBadHandle;
      *index = gThreadIndex;
      return kOfxStatOK;
    },
    [] { return gSpawned ? 1 : 0; },
    [](OfxMutexHandle* handle, int lockCount) {
      if (handle == nullptr) return Refuse(kOfxStatErrBadHandle, "mutexCreate: a null place for the handle");
      auto* m = new Mutex;
      for (int i = 0; i < lockCount; ++i) m->mutex.lock();
      AddHandle(m, Kind::Mutex);
      *handle = reinterpret_cast<OfxMutexHandle>(m);
      return kOfxStatOK;
    },
    [](const OfxMutexHandle h) {
      Mutex* m = MutexOf(h, "mutexDestroy");
      if (m == nullptr) return kOfxStatErrBadHandle;
      RemoveHandle(m);
      delete m;
      return kOfxStatOK;
    },
    [](const OfxMutexHandle h) {
      Mutex* m = MutexOf(h, "mutexLock");
      if (m == nullptr) return kOfxStatErrBadHandle;
      m->mutex.lock();
      return kOfxStatOK;
    },
    [](const OfxMutexHandle h) {
      Mutex* m = MutexOf(h, "mutexUnLock");
      if (m == nullptr) return kOfxStatErrBadHandle;
      m->mutex.unlock();
      return kOfxStatOK;
    },
    [](const OfxMutexHandle h) {
      Mutex* m = MutexOf(h, "mutexTryLock");
      if (m == nullptr) return kOfxStatErrBadHandle;
      return m->mutex.try_lock() ? kOfxStatOK : kOfxStatFailed;
    },
};

// ---- Messages -----------------------------------------------------------------------------------

OfxStatus Post(const char* type, const char* format, std::va_list args) {
  char text[2048] = "";
  if (format != nullptr) std::vsnprintf(text, sizeof text, format, args);
  CurrentHost().PostMessage(std::string(type != nullptr ? type : "(no type)") + ": " + text);
  return kOfxStatOK;
}

OfxStatus Message(void*, const char* type, const char*, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const OfxStatus s = Post(type, format, args);
  va_end(args);
  return s;
}

const OfxMessageSuiteV1 kMessageV1 = {Message};
const OfxMessageSuiteV2 kMessageV2 = {Message, Message, [](void*) { return kOfxStatOK; }};

}  // namespace

const OfxMemorySuiteV1* MemorySuite() { return &kMemory; }
const OfxMultiThreadSuiteV1* MultiThreadSuite() { return &kThreads; }
const OfxMessageSuiteV1* MessageSuiteV1() { return &kMessageV1; }
const OfxMessageSuiteV2* MessageSuiteV2() { return &kMessageV2; }

const void* FetchSuite(OfxPropertySetHandle host, const char* name, int version) {
  if (host != CurrentHost().hostProps.handle()) {
    RecordFailure("fetchSuite: the first argument is not the host's property set");
    return nullptr;
  }
  const std::string n = name != nullptr ? name : "";
  if (version == 1 && n == kOfxPropertySuite) return PropertySuite();
  if (version == 1 && n == kOfxImageEffectSuite) return ImageEffectSuite();
  if (version == 1 && n == kOfxParameterSuite) return ParameterSuite();
  if (version == 1 && n == kOfxMemorySuite) return MemorySuite();
  if (version == 1 && n == kOfxMultiThreadSuite) return MultiThreadSuite();
  if (version == 1 && n == kOfxMessageSuite) return MessageSuiteV1();
  if (version == 2 && n == kOfxMessageSuite) return MessageSuiteV2();
  RecordFailure("fetchSuite(" + n + ", " + std::to_string(version) + "): the host has no such suite");
  return nullptr;
}

}  // namespace ofxhost
