// Factorisation of S as one pipeline: the power of 2, the walk over the
// first primes, the splitting of what is left; then the end state of the
// trial division by the table's primes, set once from the factors.
#pragma once

#include <cstdint>

// Up to 2^53 the factorisation leaves the state of the walk over the prime
// table; above, only the factors (the walk would take hours to reach what
// the table would need there).
constexpr int64_t kLimiteTable = int64_t{1} << 53;

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

// The index in Nprem of the prime at which trial division by the table's
// primes in increasing order stops for the number whose prime factors are
// `trouves` (at least one), at most 2^53: with P the largest factor and Q
// the one before it (0 when there is none), P when P^2 divides the number,
// else the first prime above both Q and the root of P. Grows the table to
// it (premier_au_dela): writes Nprem, np, i and j.
int64_t indice_de_portee(const Facteurs& trouves);
