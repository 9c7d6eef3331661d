// Trial of sixteen primes per step with AVX-512 where the build and the
// processor have it, one per step otherwise; both give the same answer. The
// scan reads a compact 32-bit copy of the primes it has reached, where
// divisibility costs one 32-bit multiplication.

#include "arith/essai.h"

#include <bit>
#include <vector>

#include "arith/vectoriel.h"
#if KELVARO_AVX512
#include <immintrin.h>
#endif
#include "arith/inverse.h"
#include "state/state.h"

namespace {

// For m up to the farthest index scanned so far: p32[m] = Nprem[m], inv32[m]
// its inverse modulo 2^32, lim32[m] = (2^32 - 1) / p32[m], rec[m] = 1 / p,
// carre[m] = p^2 (the stop test p^2 > c needs no square root of c) and
// carre32[m] the same capped at 2^32 - 1, which still exceeds every c below
// 2^32 - 1 when p^2 does.
// For s < 2^32, p divides s exactly when s * inv32 (mod 2^32) <= lim32: the
// product is then s / p, and otherwise a number that times p wraps past
// 2^32. The prime 2 has no inverse (zeros there); the scan starts at 3.
std::vector<uint32_t> p32(1), inv32(1), lim32(1), carre32(1);
std::vector<double> rec(1);
std::vector<uint64_t> carre(1);

// Extends the copy to index fin of Nprem.
void etendre(int64_t fin) {
  while (static_cast<int64_t>(p32.size()) <= fin) {
    const auto p = static_cast<uint32_t>(Nprem[p32.size()]);
    const bool impair = p % 2 == 1;
    p32.push_back(p);
    inv32.push_back(impair ? static_cast<uint32_t>(inverse(p)) : 0);
    lim32.push_back(impair ? UINT32_MAX / p : 0);
    rec.push_back(1.0 / p);
    carre.push_back(uint64_t{p} * p);
    carre32.push_back(p < 65536 ? p * p : UINT32_MAX);
  }
}

// The scan one prime per step, on the 32-bit copy below 2^32 and with the
// 64-bit inverses of Ninv above.
int64_t un_par_un(int64_t debut, int64_t fin, uint64_t s, uint64_t c) {
  if (s <= UINT32_MAX) {
    const auto s32 = static_cast<uint32_t>(s);
    for (int64_t m = debut; m <= fin; ++m)
      if (carre[static_cast<size_t>(m)] > c ||
          s32 * inv32[static_cast<size_t>(m)] <= lim32[static_cast<size_t>(m)])
        return m;
    return fin + 1;
  }
  for (int64_t m = debut; m <= fin; ++m) {
    if (carre[static_cast<size_t>(m)] > c ||
        divise(s, p32[static_cast<size_t>(m)], Ninv[static_cast<size_t>(m)]))
      return m;
  }
  return fin + 1;
}

#if KELVARO_AVX512
// s / p in double precision, truncated, for the eight primes from index u,
// with sd = s in double precision.
AVX512 inline __m512i estimer(__m512d sd, size_t u) {
  return _mm512_cvttpd_epu64(
      _mm512_mul_pd(sd, _mm512_loadu_pd(rec.data() + u)));
}

// Mask of the lanes of the sixteen primes from index u whose square exceeds
// c (broadcast in vc): where the walk passes the root.
AVX512 inline unsigned passe_racine(size_t u, __m512i vc) {
  return _mm512_cmpgt_epu64_mask(_mm512_loadu_si512(carre.data() + u), vc) |
         _mm512_cmpgt_epu64_mask(_mm512_loadu_si512(carre.data() + u + 8), vc)
             << 8;
}

// Sixteen primes per step on the 32-bit copy, for s < 2^32, where the test
// is exact (lim32), and c < 2^32 - 1, where the squares fit in 32 bits.
AVX512 int64_t seize_petit(int64_t debut, int64_t fin, uint64_t s, uint64_t c) {
  const __m512i vs = _mm512_set1_epi32(static_cast<int32_t>(s));
  const __m512i vc = _mm512_set1_epi32(static_cast<int32_t>(c));
  int64_t m = debut;
  for (; m + 15 <= fin; m += 16) {
    const auto um = static_cast<size_t>(m);
    const __m512i q =
        _mm512_mullo_epi32(vs, _mm512_loadu_si512(inv32.data() + um));
    const unsigned arret =
        _mm512_cmpgt_epu32_mask(_mm512_loadu_si512(carre32.data() + um), vc) |
        _mm512_cmple_epu32_mask(q, _mm512_loadu_si512(lim32.data() + um));
    if (arret != 0) return m + std::countr_zero(arret);
  }
  return un_par_un(m, fin, s, c);
}

// Sixteen primes per step on the 32-bit copy, for s >= 2^32: q = s * inv32
// is the exact quotient s / p modulo 2^32 when there is one; s * rec in
// double precision comes within 1536 of s / p (three roundings of a
// relative 2^-53 on a quotient below 2^62), so a lane whose q differs from
// that estimate by more than 2048 modulo 2^32 cannot divide s. The lanes
// that pass are the divisors and, about once in 10^6, another prime: they
// are checked exactly.
AVX512 int64_t seize_grand(int64_t debut, int64_t fin, uint64_t s, uint64_t c) {
  const __m512i vs = _mm512_set1_epi32(static_cast<int32_t>(s));
  const __m512i vc = _mm512_set1_epi64(static_cast<int64_t>(c));
  const __m512d sd = _mm512_set1_pd(static_cast<double>(s));
  const __m512i marge = _mm512_set1_epi32(2048),
                fenetre = _mm512_set1_epi32(4096);
  const __m512i bas = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12,
                                       10, 8, 6, 4, 2, 0);
  int64_t m = debut;
  for (; m + 15 <= fin; m += 16) {
    const auto um = static_cast<size_t>(m);
    const __m512i q =
        _mm512_mullo_epi32(vs, _mm512_loadu_si512(inv32.data() + um));
    const unsigned racine = passe_racine(um, vc);
    // The low halves of the sixteen 64-bit estimates, in lane order.
    const __m512i estime =
        _mm512_permutex2var_epi32(estimer(sd, um), bas, estimer(sd, um + 8));
    const unsigned cand = _mm512_cmple_epu32_mask(
        _mm512_add_epi32(_mm512_sub_epi32(q, estime), marge), fenetre);
    for (unsigned x = racine | cand; x != 0; x &= x - 1) {
      const int64_t l = m + std::countr_zero(x);
      if ((racine >> (l - m) & 1) != 0 ||
          divise(s, p32[static_cast<size_t>(l)], Ninv[static_cast<size_t>(l)]))
        return l;
    }
  }
  return un_par_un(m, fin, s, c);
}

#endif  // KELVARO_AVX512

const bool kAvx512 = avx512_present();

}  // namespace

int64_t premier_arret(int64_t debut, int64_t fin, uint64_t s, uint64_t c) {
  if (static_cast<int64_t>(p32.size()) <= fin) etendre(fin);
#if KELVARO_AVX512
  if (kAvx512)
    return s <= UINT32_MAX && c < UINT32_MAX ? seize_petit(debut, fin, s, c)
                                             : seize_grand(debut, fin, s, c);
#endif
  return un_par_un(debut, fin, s, c);
}
