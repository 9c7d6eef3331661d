// Which vector paths this build has. The AVX-512 routines (the trial
// division's scan, the small divisor merges) and the SSE2 reading of the
// sieve's marks exist only on x86-64; every other target, and any build with
// KELVARO_PORTABLE, compiles the portable paths alone, which give the same
// answers.
#pragma once

#if defined(__x86_64__) && !defined(KELVARO_PORTABLE)
#define KELVARO_AVX512 1
#define KELVARO_SSE2 1

// The intrinsics of both paths. GCC 12 warns about the lanes they leave
// undefined on purpose; clang has no such warning.
#pragma GCC diagnostic push
#ifndef __clang__
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop

// Marks a routine compiled for AVX-512 F and DQ; it is called only where
// avx512_present() is true.
#define AVX512 __attribute__((target("avx512f,avx512dq")))

// Whether the processor has AVX-512 F and DQ.
inline bool avx512_present() {
  return __builtin_cpu_supports("avx512f") &&
         __builtin_cpu_supports("avx512dq");
}
#else
#define KELVARO_AVX512 0
#define KELVARO_SSE2 0

inline bool avx512_present() { return false; }
#endif

// Whether the AVX-512 paths run is the switch avx512_actif, in
// commun/commutateurs.h.
