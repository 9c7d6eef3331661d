// Pollard's rho method in Brent's variant: finds a factor of a composite
// number in about the fourth root of it steps; one number at a time, or
// many side by side.
#pragma once

#include <cstddef>
#include <cstdint>

// A divisor d of n with 1 < d < n. Precondition: n is odd and composite.
// Reads and writes nothing else.
uint64_t rho(uint64_t n);

// For each of the `total` numbers n of `nombres` (odd, composite, below
// 2^63), a divisor d with 1 < d < n in `diviseurs`. Four searches run
// side by side, each on its own number, so that the multiplications of one
// overlap those of the others. Reads and writes nothing else.
void rho_par_lots(const uint64_t* nombres, size_t total, uint64_t* diviseurs);
