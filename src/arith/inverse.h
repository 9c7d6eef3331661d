// Divisibility by an odd prime without a hardware division: multiplying by
// the prime's inverse modulo 2^64 gives the exact quotient when there is one.
#pragma once

#include <cstdint>

// The inverse of the odd number p modulo 2^64. p * p = 1 modulo 8, so p is
// its own inverse to 3 bits; each Newton step doubles the bits that are right
// (3, 6, 12, 24, 48, 96).
constexpr uint64_t inverse(uint64_t p) {
  uint64_t x = p;
  for (int n = 0; n < 5; ++n) x *= 2 - p * x;
  return x;
}

// Whether the odd p divides s, with inv = inverse(p). q = s * inv is the
// only q below 2^64 with q * p = s modulo 2^64: p divides s exactly when that
// product does not wrap, that is when q * p < 2^64.
inline bool divise(uint64_t s, uint64_t p, uint64_t inv) {
  const uint64_t q = s * inv;
  return (static_cast<unsigned __int128>(q) * p) >> 64 == 0;
}
