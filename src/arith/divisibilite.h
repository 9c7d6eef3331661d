// Divisibility by an odd prime without a hardware division: multiplying by
// the prime's inverse modulo 2^64 gives the exact quotient when there is one.
// Every trial division of the program tests a prime through this one record.
#pragma once

#include <cstdint>

// The inverse of the odd number p modulo 2^64. p * p = 1 modulo 8, so p is
// its own inverse to 3 bits; each Newton step doubles the bits that are right
// (3, 6, 12, 24, 48, 96).
constexpr uint64_t inverse(uint64_t p) {
  uint64_t x = p;
  for (int pas = 0; pas < 5; ++pas) x *= 2 - p * x;
  return x;
}

// An odd prime p with what its divisibility test needs. For every 64-bit s,
// q = s * inverse (mod 2^64) is the only q with q * p = s (mod 2^64); p
// divides s exactly when q is then the true quotient, that is q <= limite =
// (2^64 - 1) / p, and q is s / p. The same holds modulo 2^32 with the low
// half of the inverse and the high half of limite ((2^32 - 1) / p: no
// multiple of the odd p lies strictly between 2^64 - 2^32 and 2^64).
struct Essai {
  uint64_t p, inverse, limite;
};

constexpr Essai essai_de(uint64_t p) { return {p, inverse(p), UINT64_MAX / p}; }

// Whether the prime of e divides s.
constexpr bool divise(uint64_t s, const Essai& e) {
  return s * e.inverse <= e.limite;
}

// s / p^n for the largest n with p^n dividing s (s above 0), n added to
// exposant.
constexpr uint64_t diviser_tout(uint64_t s, const Essai& e, int32_t& exposant) {
  do {
    s *= e.inverse;
    ++exposant;
  } while (divise(s, e));
  return s;
}
