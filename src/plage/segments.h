// The divisors' count and sum of every N of a range at once, by a segmented
// sieve, for the listings of the even sums and of every sum.
#pragma once

#include <cstdint>

// Writes the result line of every N from debut to fin (1 <= debut <= fin)
// whose divisor sum has the parity in parite (2 or 0), numbered on from nN,
// which it increases. The primes up to `borne` are sieved over the range;
// what they leave of an N at or above the square of the next prime is split
// by Miller-Rabin and rho. Reads and writes nothing else of the program-wide
// state.
void lister_crible(int64_t debut, int64_t fin, int64_t borne);
