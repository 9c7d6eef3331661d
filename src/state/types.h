// The types of the program-wide tables and sums, apart from the variables
// themselves, for the units that only pass tables and sums around.
#pragma once

#include <cstdint>
#include <vector>

// A growable table used from index 1. Element 0 always holds 0, below every
// divisor and every prime, so index 0 never passes for an entry. Tables grow
// by appending zeros and shrink by removing the last element, so once they
// have reached their working size no N allocates memory.
using Table = std::vector<int64_t>;

// Unsigned 128-bit integer: the sum of the divisors of N < 2^63 may pass 2^64.
using u128 = unsigned __int128;
