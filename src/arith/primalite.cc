// Deterministic Miller-Rabin: Jim Sinclair's seven bases let no composite
// below 2^64 pass, so the test is a proof of primality there; below
// 1122004669633 smaller sets of bases are enough and are used instead.

#include "arith/primalite.h"

#include "arith/montgomery.h"

namespace {

// After the base 2, a set of bases that leaves no composite below `borne`:
// 7 and 61 below 4759123141, 13, 23 and 1662803 below 1122004669633
// (Jaeschke, 1993), and the six others of Sinclair's set for every n.
struct Jeu {
  uint64_t borne;
  uint64_t bases[6];
};
constexpr Jeu kJeux[] = {
    {4759123141, {7, 61}},
    {1122004669633, {13, 23, 1662803}},
    {UINT64_MAX, {325, 9375, 28178, 450775, 9780504, 1795265022}}};

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

// Whether n = d * 2^s + 1 is a strong probable prime to the K bases at
// once: the K chains of squarings are independent, so the processor
// overlaps their multiplications. A base that is a multiple of n says
// nothing about n: it is replaced by 2, passed already, and a prime n
// below the bases is vouched for by the others.
template <int K>
bool passe(const Modulo& m, const uint64_t* bases, uint64_t d, int s) {
  uint64_t b[K], x[K];
  for (int u = 0; u < K; ++u) {
    const uint64_t r = bases[u] % m.n;
    b[u] = en_forme(m, r == 0 ? 2 : r);
    x[u] = m.un;
  }
  for (; d != 0; d >>= 1) {
    if (d & 1)
      for (int u = 0; u < K; ++u) x[u] = mult(m, x[u], b[u]);
    for (int u = 0; u < K; ++u) b[u] = mult(m, b[u], b[u]);
  }
  for (int u = 0; u < K; ++u)
    if (!fort(m, x[u], s)) return false;
  return true;
}

}  // namespace

// The base 2 alone first: it turns away nearly every composite. Then the
// first set of bases enough for n, together.
bool est_premier(uint64_t n) {
  if (n < 2) return false;
  if (n % 2 == 0) return n == 2;
  if (n < 9) return true;  // 3, 5, 7
  const Modulo m = modulo_de(n);
  const int s = __builtin_ctzll(n - 1);
  const uint64_t d = (n - 1) >> s;
  constexpr uint64_t kDeux[] = {2};
  if (!passe<1>(m, kDeux, d, s)) return false;
  if (n < kJeux[0].borne) return passe<2>(m, kJeux[0].bases, d, s);
  if (n < kJeux[1].borne) return passe<3>(m, kJeux[1].bases, d, s);
  return passe<6>(m, kJeux[2].bases, d, s);
}
