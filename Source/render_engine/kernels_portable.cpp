// The kernels without SIMD code: the path for a processor we have no other for, and a third
// implementation the tests hold the others to.
#define TESSALINE_NO_SIMD 1
#define TESSALINE_PATH_KERNELS kPortableKernels
#include "kernels.inl"
