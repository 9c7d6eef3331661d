// The divisors of N built from its factors directly in increasing order:
// prime after prime, the sorted list is merged with its multiples by the
// powers of the new prime.
#pragma once

#include <cstdint>

#include "state/types.h"

// Writes the ND1 divisors of N, increasing, to t[0..ND1-1] and returns their
// sum. Reads N, nf, Nfact[1..nf], Nexpo[1..nf] and ND1 (the product of the
// Nexpo[m] + 1).
u128 diviseurs_croissants(int64_t* t);
