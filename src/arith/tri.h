// Ordering of the divisors of N, generated in the odometer's order, by
// merging the increasing runs that this order is made of.
#pragma once

#include <cstdint>

// Puts t[0..n-1] in increasing order, where t holds the n = ND1 divisors of
// N in the order the odometer gives them. Reads nf and Nexpo.
void ordonner(int64_t* t, int64_t n);
