// How far the walk over the prime table reaches for one N, and the table
// grown to the farthest reach of a range of N, as the walk over that range
// would have left it.
#pragma once

#include <cstdint>

// The prime at which trial division by the table's primes in increasing
// order stops for n (2 <= n <= 2^53); 0 for n = 1, which has no walk.
// With P the largest prime factor of n and Q the largest below it (0 when
// there is none): P when P^2 divides n, else the first prime above both Q
// and the root of P. Grows the prime table to it (through etendre_jusqua):
// writes Nprem, np, i and j.
uint64_t premier_de_portee(uint64_t n);

// Grows Nprem (through etendre_jusqua) to the farthest reach among the N
// from debut to fin, those up to 2^53: above it the walk leaves the table
// alone. Writes Nprem, np, i and j.
void etendre_a_la_portee(int64_t debut, int64_t fin);
