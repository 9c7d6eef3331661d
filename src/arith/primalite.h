// Primality of a 64-bit number by the Miller-Rabin test with a fixed set of
// bases that leaves no 64-bit composite undetected.
#pragma once

#include <cstdint>

// Whether n is prime, for every n < 2^64. Reads and writes nothing else.
bool est_premier(uint64_t n);
