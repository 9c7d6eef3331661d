// The table of primes, grown one prime at a time as the factorisation needs.
#pragma once

#include <cstdint>

// Appends to Nprem the prime that follows Nprem[np], found by trial division
// of the odd numbers after it by the primes of the table, and increases np.
// Reads and writes i (1 on entry and on return) and j. Returns 1.
int32_t Suiv();
