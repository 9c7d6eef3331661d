// Factorisation of S by trial division with the primes of the prime table,
// finished past the first primes by Miller-Rabin and rho.
#pragma once

#include <cstdint>

// Splits S (at least 1) into its distinct primes, in increasing order, and
// their exponents: Nfact[1..nf] and Nexpo[1..nf], which hold only element 0
// on entry. Leaves S at 1. Writes nf, k, i, expo, f, reste and rS; grows the
// prime table through Suiv when it needs a prime it does not hold yet.
// Past the first `marche` primes it finds the factors left by Miller-Rabin
// and rho, grows the table to the prime where trial division would have
// stopped, and leaves every variable as trial division would have.
// Above 2^53 it hands S to decomp_grand, which leaves the same factors and
// does not touch the prime table. Returns 1.
int32_t decomp();
