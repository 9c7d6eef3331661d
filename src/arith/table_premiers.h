// The table of primes, grown one prime at a time as the factorisation needs.
#pragma once

#include <cstdint>

// Appends to Nprem the prime that follows Nprem[np] and increases np. Reads and
// writes i (1 on entry and on return) and j. Returns 1.
int32_t Suiv();

// Makes room in Nprem for every prime up to x, so that growing the table
// that far moves nothing (only the memory it touches is used).
void reserver_premiers(int64_t x);
