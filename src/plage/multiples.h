// The steps every sieve of divisor counts and sums takes for one prime: the
// distance to its first multiple in a block of numbers, and its power
// divided out of each of its multiples there.
#pragma once

#include <cstdint>

#include "arith/divisibilite.h"

// The distance from base to the first multiple of p at or above it.
inline uint64_t jusqua_multiple(uint64_t base, uint64_t p) {
  const uint64_t r = base % p;
  return r == 0 ? 0 : p - r;
}

// The same from b, base in double precision, for 2^15 < p < 2^32 and base
// below 2^63, without a division of integers: b is within 2^10 of base,
// so b / p within 2^-5 of base / p, and its own rounding adds at most 2^-5
// more (the quotient is below 2^48): truncated, it is the true quotient or
// one off either way, and base - q p, taken modulo 2^64 and read signed,
// lies in [-p, 2p). One correction either way.
inline uint64_t jusqua_multiple_approche(uint64_t base, double b, uint64_t p) {
  const auto q = static_cast<uint64_t>(b / static_cast<double>(p));
  auto r = static_cast<int64_t>(base - q * p);
  if (r < 0) r += static_cast<int64_t>(p);
  if (r >= static_cast<int64_t>(p)) r -= static_cast<int64_t>(p);
  return r == 0 ? 0 : p - static_cast<uint64_t>(r);
}

// Divides the power of the prime p out of reste_de[t], reste_de[t + p], ...
// for every t from `depart` below n (each a multiple of p), and hands each
// t to noter(t, exposant, somme) with p's exponent there and 1 + p + ... +
// p^exposant (below 2^64, for a power of p dividing a number below 2^63).
// Returns where p's next multiple falls in the block that follows.
// - Most primes of a long sieve have no multiple in a block: their record
//   (a division) is made only for those that have one.
// - The sum is built as the power is divided out, rather than by
//   somme_des_puissances afterwards: 1..10^7 took 7 % longer that way.
template <class Noter>
inline uint64_t diviser_les_multiples(uint64_t* reste_de, uint64_t n,
                                      uint64_t p, uint64_t depart,
                                      Noter&& noter) {
  uint64_t t = depart;
  if (t >= n) return t - n;
  const Essai e = essai_de(p);
  for (; t < n; t += p) {
    uint64_t r = reste_de[t] * e.inverse, puissance = p, somme = 1 + p;
    int32_t exposant = 1;
    while (divise(r, e)) {
      r *= e.inverse;
      somme += puissance *= p;
      ++exposant;
    }
    reste_de[t] = r;
    noter(t, exposant, somme);
  }
  return t - n;
}
