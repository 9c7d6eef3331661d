// Divisors of N in increasing order without sorting: the list of the
// divisors made of the first primes is merged, prime by prime, with its
// multiples by the powers of the next prime.
//
// This follows the odometer suiv2: its order is made of blocks, Nfact[1]^j
// times the odometer order of the other primes, each block again made of
// blocks for Nfact[2], and so on. Taking the primes from the last to the
// first, merging the blocks of each level would sort the odometer's output
// bottom-up; here the same merges are made the other way round, from the
// first prime, so that every list is already sorted when it is made and no
// unordered divisor is ever stored.

#include "arith/tri.h"

#include <vector>

namespace {

constexpr uint64_t kInfini = ~uint64_t{0};

// Three scratch lists, in turn the list of the primes so far, the partial
// merges and the result. Element 0 of each stays 0 and the element past the
// last divisor is set to kInfini: the merges below read both as sentinels.
// They only grow, so once they hold the largest ND1 met, no N allocates.
std::vector<uint64_t> tampons[3];

// out[0..na+nb-1] = a[0..na-1] merged with f * b[0..nb-1]. Both are
// increasing, a[0] is the smallest value of all and f * b[nb-1] the largest,
// with a[na] = kInfini and b[-1] = 0. The two halves of the output come from
// two independent chains, one from the front and one from the back, so the
// latency of the load-compare-advance chain is paid once for two elements.
// The choices are arithmetic: the processor cannot guess them. Returns the
// sum of the output.
u128 fusion(const uint64_t* a, int64_t na, const uint64_t* b, int64_t nb,
            uint64_t f, uint64_t* out) {
  const int64_t total = na + nb;
  int64_t ia = 0, ib = 0, ja = na - 1, jb = nb - 1;
  u128 somme = 0;
  uint64_t* fin = out + total;
  for (int64_t o = total / 2; o > 0; --o) {
    const uint64_t x = a[ia], y = b[ib] * f;
    const bool prendre_b = y < x;
    const uint64_t d = prendre_b ? y : x;
    *out++ = d;
    ia += !prendre_b;
    ib += prendre_b;
    const uint64_t u = a[ja], v = b[jb] * f;
    const bool prendre_v = v > u;
    const uint64_t e = prendre_v ? v : u;
    *--fin = e;
    ja -= !prendre_v;
    jb -= prendre_v;
    somme += d;
    somme += e;
  }
  // An odd total leaves one element, the smaller of the two heads.
  if (out != fin) {
    const uint64_t x = a[ia], y = b[ib] * f;
    *out = y < x ? y : x;
    somme += *out;
  }
  return somme;
}

// The merges that turn the sorted list L (exponent 0 of the new prime q) into
// the sorted list of L * q^j for 0 <= j <= e. With the list made for the
// exponents 0..c, a doubling step D merges it with its multiple by q^(c+1)
// (exponents 0..2c+1), an increment step I merges L with its multiple by q
// (exponents 0..c+1). pas[] receives them in order, true for D; returns
// their number (at most 12 for e <= 62).
int32_t plan(int64_t e, bool* pas) {
  if (e == 0) return 0;
  const bool double_ = e % 2 == 1;
  const int32_t r = plan(double_ ? (e - 1) / 2 : e - 1, pas);
  pas[r] = double_;
  return r + 1;
}

}  // namespace

u128 diviseurs_croissants(int64_t* t) {
  auto* sortie = reinterpret_cast<uint64_t*>(t);
  const auto n = static_cast<size_t>(ND1);
  if (nf == 0) {
    sortie[0] = 1;
    return 1;
  }
  const auto q1 = static_cast<uint64_t>(Nfact[1]);
  const int64_t e1 = Nexpo[1];
  if (tampons[0].size() < n + 2)
    for (auto& b : tampons) b.resize(n + 2, 0);

  // The first prime alone: its powers. Every product below divides N, so
  // nothing overflows.
  uint64_t* l = nf == 1 ? sortie : tampons[0].data() + 1;
  int32_t x = 0;  // index of the scratch list that holds l
  u128 somme = 0;
  uint64_t p = 1;
  for (int64_t j = 0; j <= e1; ++j, p *= q1) {
    l[j] = p;
    somme += p;
  }
  if (nf == 1) return somme;
  int64_t nl = e1 + 1;
  l[nl] = kInfini;

  for (int32_t m = 2; m <= nf; ++m) {
    const auto q = static_cast<uint64_t>(Nfact[static_cast<size_t>(m)]);
    const int64_t e = Nexpo[static_cast<size_t>(m)];
    bool pas[16];
    const int32_t r = plan(e, pas);
    // The result goes to t for the last prime, else to the next scratch
    // list; the steps before it alternate between the two lists that are
    // neither l nor their successor's, counted back from the last step.
    const int32_t y = (x + 1) % 3, z = (x + 2) % 3;
    uint64_t* dest = m == nf ? sortie : tampons[y].data() + 1;
    uint64_t* autres[2] = {tampons[m == nf ? y : z].data() + 1,
                           tampons[m == nf ? z : y].data() + 1};
    // cur holds the exponents 0..c of q, and fc is q^(c+1).
    const uint64_t* cur = l;
    uint64_t fc = q;
    int64_t ncur = nl;
    for (int32_t s = 0; s < r; ++s) {
      const int32_t reste = r - 1 - s;
      uint64_t* out = reste == 0 ? dest : autres[(reste - 1) % 2];
      if (pas[s]) {
        somme = fusion(cur, ncur, cur, ncur, fc, out);
        fc *= fc;  // may wrap after the last step, where it is not used
        ncur *= 2;
      } else {
        somme = fusion(l, nl, cur, ncur, q, out);
        fc *= q;
        ncur += nl;
      }
      if (m < nf || reste > 0) out[ncur] = kInfini;
      cur = out;
    }
    l = dest;
    nl = ncur;
    x = y;
  }
  return somme;
}
