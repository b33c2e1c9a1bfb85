// The kernels with SSE2, which every x86-64 processor has: the baseline path.
#if defined(__x86_64__) || defined(_M_X64)
#define TESSALINE_PATH_KERNELS kSse2Kernels
#include "kernels.inl"
#endif
