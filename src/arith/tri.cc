// Insertion for the short lists of divisors (most N have a few dozen at
// most), std::sort for the long ones, whose insertion would cost ND1^2.

#include "arith/tri.h"

#include <algorithm>

namespace {

// Measured on the listing of 1 to 3e6: insertion beats std::sort up to here
// (bitonic networks in AVX-512 registers lost to both: the divisors arrive
// by scalar stores that cannot forward to a vector load).
constexpr int64_t kInsertion = 48;

}  // namespace

void trier(int64_t* t, int64_t n) {
  if (n > kInsertion) {
    std::sort(t, t + n);
    return;
  }
  for (int64_t m = 1; m < n; ++m) {
    const int64_t d = t[m];
    int64_t q = m - 1;
    while (q >= 0 && t[q] > d) {
      t[q + 1] = t[q];
      --q;
    }
    t[q + 1] = d;
  }
}
