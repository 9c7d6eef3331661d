// The step every sieve of divisor counts and sums takes for one prime: its
// power divided out of each of its multiples in a block of numbers.
#pragma once

#include <cstdint>

#include "arith/divisibilite.h"

// Divides the power of the prime p out of reste_de[t], reste_de[t + p], ...
// for every t from `premier` below n (each a multiple of p), and hands each
// t to noter(t, exposant, somme) with p's exponent there and 1 + p + ... +
// p^exposant (below 2^64, for a power of p dividing a number below 2^63).
// Returns where p's next multiple falls in the block that follows.
// - Most primes of a long sieve have no multiple in a block: their record
//   (a division) is made only for those that have one.
// - The sum is built as the power is divided out, rather than by
//   somme_des_puissances afterwards: 1..10^7 took 7 % longer that way.
template <class Noter>
inline uint64_t diviser_les_multiples(uint64_t* reste_de, uint64_t n,
                                      uint64_t p, uint64_t premier,
                                      Noter&& noter) {
  uint64_t t = premier;
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
