// The step every sieve of divisor counts and sums takes for one prime: its
// power divided out of each of its multiples in a block of numbers.
#pragma once

#include <cstdint>

#include "arith/divisibilite.h"

// Divides the power of e's prime p out of reste[t], reste[t + p], ... for
// every t from `premier` below n (each a multiple of p), and hands each t
// with p's exponent there to noter(t, exposant). Returns where p's next
// multiple falls in the block that follows.
template <class Noter>
inline uint64_t diviser_les_multiples(uint64_t* reste_de, uint64_t n,
                                      const Essai& e, uint64_t premier,
                                      Noter&& noter) {
  uint64_t t = premier;
  for (; t < n; t += e.p) {
    int32_t exposant = 0;
    reste_de[t] = diviser_tout(reste_de[t], e, exposant);
    noter(t, exposant);
  }
  return t - n;
}
