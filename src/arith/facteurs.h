// The prime factors of one N, in increasing order with their exponents, as
// the stages of the factorisation find them; the factorisation copies them
// into Nfact and Nexpo once, at its end.
#pragma once

#include <cstdint>

// A number below 2^64 has fewer than 64 prime factors.
struct Facteurs {
  uint64_t premier[64];
  int32_t exposant[64];
  int32_t nombre = 0;
};

// Records the prime q with exponent e after the factors found so far, all
// below q: the one way every stage records a factor.
inline void noter(Facteurs& trouves, uint64_t q, int32_t e) {
  trouves.premier[trouves.nombre] = q;
  trouves.exposant[trouves.nombre] = e;
  ++trouves.nombre;
}
