// wsq_simd.h: whether the codec's loops use 128-bit SSE2 vectors. Every x86-64 processor has SSE2, and
// the 32-bit builds are compiled for it (-msse2 -mfpmath=sse); other targets take the scalar loops.
// Vector and scalar loops do the same single-precision operations in the same order for every output,
// so they give the same bits.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define WSQ_HAVE_SSE2 1
#include <immintrin.h>
// Functions with AVX loops, called only where the processor has AVX (currentVectorPath()). Compiled for
// AVX without FMA, so each product is rounded before its addition exactly as in the other paths.
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define WSQ_AVX_FUNCTION
#else
#define WSQ_AVX_FUNCTION __attribute__((target("avx")))
#endif
#else
#define WSQ_HAVE_SSE2 0
#endif
