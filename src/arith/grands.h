// Factorisation of the numbers above 2^53, where trial division with the
// prime table would need every prime up to 3e9: small primes from a fixed
// list, then Miller-Rabin and Pollard's rho on what is left.
#pragma once

#include <cstddef>
#include <cstdint>

// Splits S (above 1) into its distinct primes, in increasing order, and
// their exponents, exactly as decomp does: Nfact[1..nf] and Nexpo[1..nf],
// which hold only element 0 and nf = 0 on entry. Leaves S at 1. Neither
// reads nor grows the prime table. Returns 1.
int32_t decomp_grand();

// Writes the prime factors of n (odd, above 1, below 2^63), with repetition
// and in increasing order, to l (room for 64: n has fewer prime factors);
// returns how many. Miller-Rabin, then rho on what is composite.
size_t facteurs_premiers(uint64_t n, uint64_t* l);
