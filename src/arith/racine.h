// Exact integer square root, used wherever a trial division must stop.
#pragma once

#include <cmath>
#include <cstdint>

// Largest r with r * r <= n, for 0 <= n <= 2^63 - 1. The double estimate is
// within one of the answer; the squares are taken in unsigned 64-bit, where
// (r + 1)^2 <= 3037000500^2 < 2^64 cannot overflow.
// Below 2^52 the estimate is already exact: sqrt(n) lies more than
// 1 / (2 (r + 1)) below r + 1, farther than half a unit in the last place
// of r + 1 <= 2^26, so the correctly rounded root never reaches r + 1.
inline int64_t racine(int64_t n) {
  auto r = static_cast<uint64_t>(std::sqrt(static_cast<double>(n)));
  if (n < (int64_t{1} << 52)) return static_cast<int64_t>(r);
  const auto u = static_cast<uint64_t>(n);
  while (r * r > u) --r;
  while ((r + 1) * (r + 1) <= u) ++r;
  return static_cast<int64_t>(r);
}

// Whether p^2 > x (p >= 1), without forming p^2, which may pass 2^64: p >
// x / p exactly when p (x / p + 1) > x, as x / p rounds down.
constexpr bool carre_depasse(uint64_t p, uint64_t x) { return p > x / p; }
