// What is left of N past the walk over the first primes: proved prime, or
// split into its prime factors by Miller-Rabin and Pollard's rho.
#pragma once

#include <cstdint>

#include "arith/facteurs.h"

// Records the prime factors of c, grouped with their exponents, in
// increasing order. c is odd, above 1, below 2^63, and has no prime factor
// up to borne (at least 2), so below (borne + 1)^2 it is prime.
void scinder_reste(uint64_t c, uint64_t borne, Facteurs& trouves);

// The same for c (odd, composite, below 2^63) knowing one of its divisors
// d, 1 < d < c: d and c / d are split and their factors merged.
void scinder_connu(uint64_t c, uint64_t d, Facteurs& trouves);
