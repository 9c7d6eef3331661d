// Pollard's rho method in Brent's variant: finds a factor of a composite
// number in about the fourth root of it steps.
#pragma once

#include <cstdint>

// A divisor d of n with 1 < d < n. Precondition: n is odd and composite.
// Reads and writes nothing else.
uint64_t rho(uint64_t n);
