// The kernels of the SSE2 path with AVX2, BMI1 and BMI2 in the functions that gain from them (see
// engine_path.h); taken only on a processor that has all three.
#if defined(__x86_64__) || defined(_M_X64)
#define TESSALINE_PATH_AVX2 1
#define TESSALINE_PATH_KERNELS kAvx2Kernels
#include "kernels.inl"
#endif
