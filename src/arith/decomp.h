// Factorisation of S as one pipeline: the power of 2, the walk over the
// first primes, the splitting of what is left; then the end state of the
// trial division by the table's primes, set once from the factors.
#pragma once

#include <cstdint>

// Splits S (at least 1) into its distinct primes, in increasing order, and
// their exponents: Nfact[1..nf] and Nexpo[1..nf], which hold only element 0
// on entry. Leaves S at 1. Up to 2^53 it leaves nf, k, i, j, expo, f,
// reste, rS and the prime table (grown through Suiv) exactly as trial
// division by the table's primes in increasing order leaves them, stopping
// once a prime passes the root of what is left. Above 2^53 it writes only
// the factors, nf, S, k = 0 and i = 1, and leaves the prime table as it is.
// Returns 1.
int32_t decomp();

// The prime factors of n (1 <= n < 2^63), increasing, with their exponents,
// by the same stages; reads and writes no program-wide variable.
struct Facteurs;
void factoriser(uint64_t n, Facteurs& trouves);
