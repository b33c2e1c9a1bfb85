// Which instruction-set path the including translation unit builds.
//
// The kernels are compiled once per path (kernels_portable.cpp, kernels_sse2.cpp, kernels_avx2.cpp),
// each with its own compiler flags, and the engine picks one when it first renders (engine.cpp).
// Everything the kernels inline lives in an inline namespace named after the path, so that the
// copies the compiler makes of one function for two paths never meet at link time: the linker may
// keep only one copy of an inline function, and the AVX2 copy must not end up called on a processor
// without AVX2. Code outside the engine that includes these headers sees the SSE2 (or portable) path
// under the plain tessaline:: names.
#pragma once

#if defined(TESSALINE_NO_SIMD)
#define TESSALINE_PATH_NS path_portable
#elif defined(TESSALINE_PATH_AVX2)
// The SSE2 path, with AVX2 where it is wider (TESSALINE_WIDE functions).
#define TESSALINE_SSE2 1
#define TESSALINE_AVX2 1
#define TESSALINE_PATH_NS path_avx2
#elif defined(__SSE2__)
// SSE2 is part of every x86-64 processor: the baseline path.
#define TESSALINE_SSE2 1
#define TESSALINE_PATH_NS path_sse2
#else
#define TESSALINE_PATH_NS path_portable
#endif

#define TESSALINE_PATH_BEGIN inline namespace TESSALINE_PATH_NS {
#define TESSALINE_PATH_END }

#if defined(TESSALINE_SSE2)
#include <emmintrin.h>
#endif
// The functions that may use AVX2 on the AVX2 path: those that build the edge map and make the keyed
// copy. They compare and copy samples but compute none. Everything that computes output samples is
// compiled alike on the SSE2 and AVX2 paths: an operation on two NaNs returns one of them, which one
// depends on the operand order, and the compiler orders operands differently when it has AVX's
// three-operand instructions, so a float output could differ in a NaN's bits.
#if defined(TESSALINE_AVX2)
#include <immintrin.h>
#define TESSALINE_WIDE [[gnu::target("avx2,bmi,bmi2")]]
#else
#define TESSALINE_WIDE
#endif
