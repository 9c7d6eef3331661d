// The primes of an interval below 2^32, a segment of the odd numbers at a
// time, kept only until the next segment: the large primes a range is
// sieved with, which would not fit in memory all at once.
#pragma once

#include <cstdint>
#include <vector>

#include "premiers/marques.h"
#include "state/types.h"

// One pass over the primes of (apres, fin].
struct Flux {
  const Table* cribleurs;  // primes past the root of fin
  int64_t fin;
  int64_t fin_crible;             // even; odd numbers below it are handed out
  std::vector<int64_t> prochain;  // the sieving primes' next multiples
  unsigned char compose[kMarquesMax + 64];
  // The segment's primes, and room for a vector store past the last one.
  uint32_t premiers[kMarquesMax + 16];
  int64_t taille;                   // how many
  uint32_t decalages[kMarquesMax];  // see flux_decalages
};

// Starts a pass over the primes p with apres < p <= fin, 3 <= fin < 2^32,
// sieving with the primes of `cribleurs` (a table [0, 2, 3, ...] whose last
// prime is above the root of fin), which the pass only reads.
void flux_debut(Flux& flux, const Table& cribleurs, int64_t apres, int64_t fin);

// Puts the primes of the next segment in premiers[0..taille), in increasing
// order; returns false, with taille 0, once the pass has reached fin.
bool flux_suivant(Flux& flux);

// decalages[u] = the distance from base (below 2^63) to the first multiple
// of premiers[u] at or above it, for each prime of the segment.
void flux_decalages(Flux& flux, uint64_t base);
