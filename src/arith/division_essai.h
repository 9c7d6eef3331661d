// Trial division of N's odd part by the first kMarche primes, in increasing
// order, in one pass that collects every prime factor on its way.
#pragma once

#include <cstdint>

#include "arith/divisibilite.h"
#include "arith/facteurs.h"

// The m-th prime, for 1 <= m <= kMarche, and its record, for 2 <= m <=
// kMarche. These first primes
// come from a sieve of their own, built once: the walk reads them whatever
// the prime table holds, and leaves that table alone.
uint64_t premier_numero(int64_t m);
Essai essai_numero(int64_t m);

// Walks the primes of index 2 to fin (fin <= kMarche) against impair, odd
// and above 1, the cofactor c starting as impair: each prime whose square
// passes c stops the walk (c is then a prime); each prime dividing impair
// is divided out of c and recorded, and stops the walk when c reaches 1.
// Returns the index where the walk stopped, fin + 1 when it went past fin,
// or 0 when it stopped among the first primes at an index it did not work
// out (the factors say which: see decomp); c is what is left.
int64_t marcher(uint64_t impair, int64_t fin, Facteurs& trouves, uint64_t& c);
