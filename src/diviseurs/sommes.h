// The sums of divisors built from a prime power, how wide they may grow,
// and which of them a parity keeps: the facts every way of summing the
// divisors relies on.
#pragma once

#include <cstdint>

// 1 + q + q^2 + ... + q^e, for a prime power q^e that divides a number
// below 2^63: less than 2 q^e, so below 2^64.
constexpr uint64_t somme_des_puissances(uint64_t q, int32_t e) {
  uint64_t terme = 1, total = 1;
  for (int32_t u = 0; u < e; ++u) total += terme *= q;
  return total;
}

// Whether the sum of the divisors of every N up to n fits 64 bits: below
// 2^61, sigma(N) / N stays under e^gamma ln ln N + 0.6483 / ln ln N < 6.85
// (Robin's bound, for N >= 3; sigma(1) = 1, sigma(2) = 3), and 6.85 * 2^61
// < 2^64. Above, sigma(N) may pass 2^64 from N = 2^62 on.
constexpr bool somme_sur_64_bits(int64_t n) { return n < int64_t{1} << 61; }

// Whether a sum of divisors has its line under the parity asked for: 2 the
// even sums, 1 the odd ones (the remainder of 2 is 1), 0 every sum.
template <class Somme>
constexpr bool a_la_parite(Somme somme, int32_t par) {
  if (par == 2) return (somme & 1) == 0;
  if (par == 1) return somme % 2 == 1;
  return true;
}
