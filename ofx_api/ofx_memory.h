// General memory from the host, for what is not an image.
#pragma once

#include "ofx_core.h"

extern "C" {

typedef struct OfxMemorySuiteV1 {
  OfxStatus (*memoryAlloc)(void* handle, size_t nBytes, void** allocatedData);
  OfxStatus (*memoryFree)(void* allocatedData);
} OfxMemorySuiteV1;

}  // extern "C"
