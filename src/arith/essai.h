// The inner step of the trial division: the primes of the table tried in
// turn against S, several at a time, until one divides S or passes its root.
#pragma once

#include <cstdint>

// Index of the first odd prime p among Nprem[debut..fin] with p^2 > c (p
// past the root of c) or dividing s, or fin + 1 when none does. Reads Nprem and
// Ninv, which must hold index fin; debut is at least 2 (the prime 3) and s
// below 2^63. Extends its own 32-bit copy of Nprem to index fin.
int64_t premier_arret(int64_t debut, int64_t fin, uint64_t s, uint64_t c);
