// The table of primes, grown one prime at a time as the factorisation needs.
#pragma once

#include <cstdint>

// Appends to Nprem the prime that follows Nprem[np] and increases np. Reads and
// writes i (1 on entry and on return) and j. Returns 1.
int32_t Suiv();

// Brings Ninv in step with Nprem up to index jusqua (or the table's end):
// one inverse per element (0 for index 0 and for the prime 2). The inverses
// are kept only as far as the trial division has gone.
void caler_inverses(int64_t jusqua = INT64_MAX);

// Makes room in Nprem for every prime up to x, so that growing the table
// that far moves nothing (only the memory it touches is used).
void reserver_premiers(int64_t x);
