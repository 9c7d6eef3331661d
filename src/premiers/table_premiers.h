// The table of primes, grown one prime at a time as the factorisation needs.
#pragma once

#include <cstdint>

#include "state/types.h"

// The prime table as the program seeds it: element 0, then 2 and 3.
inline const Table kGraine = {0, 2, 3};

// Appends to Nprem the prime that follows Nprem[np] and increases np. Reads and
// writes i (1 on entry and on return) and j, left where the trial division
// of the new prime stops: at the first prime whose square passes it.
// Returns 1.
int32_t Suiv();

// Grows the table as calls of Suiv would, until it holds b (or the first
// prime above b), in bulk; leaves i and j as the last of those calls would.
// Nothing changes when Nprem[np] >= b already.
void etendre_jusqua(int64_t b);

// The index of the first prime of the table above x, the table grown as by
// etendre_jusqua when it does not reach that far.
int64_t premier_au_dela(int64_t x);

// Makes room in Nprem for every prime up to x, so that growing the table
// that far moves nothing (only the memory it touches is used).
void reserver_premiers(int64_t x);
