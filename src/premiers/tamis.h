// The primes that follow a 1-based table of primes, found a segment at a time
// by a sieve of Eratosthenes over the odd numbers: handed out one by one to
// the prime table, or appended in bulk to a table.
#pragma once

#include <cstdint>

#include "state/types.h"

// The smallest prime above Nprem[np], which must be odd. Sieves with the odd
// primes of the table, so it reads Nprem and np; it keeps the primes of the
// current segment for the calls that follow, and starts again from Nprem[np]
// whenever the table no longer ends where it left it.
int64_t premier_suivant();

// Appends to Nprem, and counts in np, every prime after Nprem[np] up to the
// first one at least `borne`; the same primes as that many premier_suivant,
// a segment at a time.
void prolonger_nprem(int64_t borne);

// The same for a table of one's own, which holds [0, 2, 3, ...] (its last
// element its last prime): it sieves with its own primes, with a sieve of
// its own, so that it never disturbs Nprem's.
void prolonger(Table& premiers, int64_t borne);
