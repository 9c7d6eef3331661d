// Deterministic Miller-Rabin: these seven bases (Jim Sinclair's set) let no
// composite below 2^64 pass, so the test is a proof of primality there;
// below 1122004669633 smaller sets of bases are enough and are used instead.

#include "arith/primalite.h"

#include "arith/montgomery.h"

namespace {

constexpr uint64_t kBases[] = {2,      325,     9375,      28178,
                               450775, 9780504, 1795265022};

// Whether x = b^d (in the form) makes n = d * 2^s + 1 a strong probable
// prime to the base b: x is 1 or one of x^2, x^4, ... x^(2^(s-1)) is n - 1.
bool fort(const Modulo& m, uint64_t x, int s) {
  const uint64_t moins_un = m.n - m.un;  // n - 1 in the form
  if (x == m.un || x == moins_un) return true;
  for (int r = 1; r < s; ++r) {
    x = mult(m, x, x);
    if (x == moins_un) return true;
  }
  return false;
}

// The powers bases[u]^d for the K bases at once: the K chains of squarings are
// independent, so the processor overlaps their multiplications.
template <int K>
void puissances(const Modulo& m, uint64_t* bases, uint64_t d, uint64_t* x) {
  for (int u = 0; u < K; ++u) x[u] = m.un;
  for (; d != 0; d >>= 1) {
    if (d & 1)
      for (int u = 0; u < K; ++u) x[u] = mult(m, x[u], bases[u]);
    for (int u = 0; u < K; ++u) bases[u] = mult(m, bases[u], bases[u]);
  }
}

}  // namespace

bool est_premier(uint64_t n) {
  if (n < 2) return false;
  if (n % 2 == 0) return n == 2;
  if (n < 9) return true;  // 3, 5, 7
  const Modulo m = preparer(n);
  const int s = __builtin_ctzll(n - 1);
  const uint64_t d = (n - 1) >> s;
  // The base 2 alone first: it turns away nearly every composite. Then the
  // six others together.
  uint64_t bases[6], x[6];
  bases[0] = en_forme(m, 2);
  puissances<1>(m, bases, d, x);
  if (!fort(m, x[0], s)) return false;
  // Below 4759123141 the bases 2, 7 and 61 leave no composite (Jaeschke,
  // 1993); n > 61 here, so neither base is a multiple of n.
  if (n < 4759123141 && n > 61) {
    bases[0] = en_forme(m, 7);
    bases[1] = en_forme(m, 61);
    puissances<2>(m, bases, d, x);
    return fort(m, x[0], s) && fort(m, x[1], s);
  }
  // Below 1122004669633 the bases 2, 13, 23 and 1662803 leave none
  // (Jaeschke, 1993); n is then at least 4759123141, above every base.
  if (n > 61 && n < 1122004669633) {
    bases[0] = en_forme(m, 13);
    bases[1] = en_forme(m, 23);
    bases[2] = en_forme(m, 1662803);
    puissances<3>(m, bases, d, x);
    return fort(m, x[0], s) && fort(m, x[1], s) && fort(m, x[2], s);
  }
  for (int b = 0; b < 6; ++b) {
    bases[b] = kBases[b + 1] % n;
    // A base that is a multiple of n says nothing about n: it is replaced by
    // 2, already passed. A prime n below the bases is then vouched for by
    // the others.
    bases[b] = en_forme(m, bases[b] == 0 ? 2 : bases[b]);
  }
  puissances<6>(m, bases, d, x);
  for (int b = 0; b < 6; ++b)
    if (!fort(m, x[b], s)) return false;
  return true;
}
