// The divisors' count and sum of every N of a range at once, by a segmented
// sieve, for the listings of the even sums and of every sum.
#pragma once

#include <cstdint>

// Asked between two segments whether to go on, with the last N whose line
// is written; false stops the listing there.
using Continuer = bool (*)(int64_t atteint);

// Writes the result line of every N from debut to fin (1 <= debut <= fin <
// 2^63 - 1) whose divisor sum has the parity in parite (2 or 0), numbered
// on from nN, which it increases. The primes up to `borne` are sieved over
// the range from a stored table; with `flux`, so are the others up to the
// root of fin, a segment of them at a time, and what is left of each N is 1
// or a prime. Without it, what the sieve leaves of an N at or above the
// square of the next prime is split by Miller-Rabin and rho. Returns the
// last N whose line it has dealt with: fin, or less when `continuer` said
// to stop (debut - 1 when it stopped before any line). Reads and writes
// nothing else of the program-wide state.
int64_t lister_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                      Continuer continuer);
