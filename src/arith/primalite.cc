// Deterministic Miller-Rabin: these seven bases (Jim Sinclair's set) let no
// composite below 2^64 pass, so the test is a proof of primality there.

#include "arith/primalite.h"

#include "arith/montgomery.h"

namespace {

constexpr uint64_t kBases[] = {2,      325,     9375,      28178,
                               450775, 9780504, 1795265022};

// Whether n = d * 2^s + 1 (d odd) is a strong probable prime to the base
// a, where a is in the form and not 0.
bool temoin_muet(const Modulo& m, uint64_t a, uint64_t d, int s) {
  const uint64_t moins_un = m.n - m.un;  // n - 1 in the form
  uint64_t x = puissance(m, a, d);
  if (x == m.un || x == moins_un) return true;
  for (int r = 1; r < s; ++r) {
    x = mult(m, x, x);
    if (x == moins_un) return true;
  }
  return false;
}

}  // namespace

bool est_premier(uint64_t n) {
  if (n < 2) return false;
  if (n % 2 == 0) return n == 2;
  if (n < 9) return true;  // 3, 5, 7
  const Modulo m = preparer(n);
  const int s = __builtin_ctzll(n - 1);
  const uint64_t d = (n - 1) >> s;
  for (const uint64_t base : kBases) {
    // A base that is a multiple of n says nothing about n: skip it. A prime
    // n below the bases is then vouched for by the others.
    const uint64_t a = base % n;
    if (a == 0) continue;
    if (!temoin_muet(m, en_forme(m, a), d, s)) return false;
  }
  return true;
}
