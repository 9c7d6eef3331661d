// The primes that follow the prime table, found a segment at a time by a
// sieve of Eratosthenes over the odd numbers and handed out one by one.
#pragma once

#include <cstdint>

// The smallest prime above Nprem[np], which must be odd. Sieves with the odd
// primes of the table, so it reads Nprem and np; it keeps the primes of the
// current segment for the calls that follow, and starts again from Nprem[np]
// whenever the table no longer ends where it left it.
int64_t premier_suivant();
