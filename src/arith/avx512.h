// The vector paths of the arithmetic: how their routines are compiled, and
// whether the processor can run them.
#pragma once

// Marks a routine compiled for AVX-512 F and DQ; it is called only where
// avx512_present() is true.
#define AVX512 __attribute__((target("avx512f,avx512dq")))

// Whether the processor has AVX-512 F and DQ. Built with KELVARO_PORTABLE,
// always false, so that the portable paths can be timed on such a processor.
inline bool avx512_present() {
#ifdef KELVARO_PORTABLE
  return false;
#else
  return __builtin_cpu_supports("avx512f") &&
         __builtin_cpu_supports("avx512dq");
#endif
}
