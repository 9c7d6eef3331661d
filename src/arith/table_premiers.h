// The table of primes, grown one prime at a time as the factorisation needs.
#pragma once

#include <cstdint>

// Appends to Nprem the prime that follows Nprem[np], and its inverse to Ninv,
// and increases np. Reads and writes i (1 on entry and on return) and j.
// Returns 1.
int32_t Suiv();

// Brings Ninv in step with Nprem: one inverse per element (0 for index 0 and
// for the prime 2).
void caler_inverses();

// Makes room in Nprem and Ninv for every prime up to x, so that growing the
// tables that far moves nothing (only the memory they touch is used).
void reserver_premiers(int64_t x);
