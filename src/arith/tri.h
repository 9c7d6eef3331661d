// Ordering of the divisors once they are all in the table.
#pragma once

#include <cstdint>

// Sorts t[0..n-1] in increasing order: by insertion while n is small, as the
// divisors would have been inserted one by one, and by std::sort beyond.
void trier(int64_t* t, int64_t n);
