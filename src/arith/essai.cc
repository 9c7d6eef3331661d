// Trial of eight primes per step with AVX-512 where the processor has it,
// one per step otherwise; both give the same answer.

#include "arith/essai.h"

#include <immintrin.h>

#include <bit>

#include "arith/inverse.h"
#include "state/state.h"

namespace {

int64_t un_par_un(int64_t debut, int64_t fin, uint64_t s, int64_t r) {
  for (int64_t m = debut; m <= fin; ++m) {
    const int64_t p = Nprem[static_cast<size_t>(m)];
    if (p > r ||
        divise(s, static_cast<uint64_t>(p), Ninv[static_cast<size_t>(m)]))
      return m;
  }
  return fin + 1;
}

// The divisibility test of divise() on eight lanes, where the 128-bit product
// is not at hand: q * p is computed in double precision instead. When p
// divides s, q * p = s < 2^63; otherwise q * p >= 2^64. Two roundings move
// either by a relative 2^-52 at most, so the threshold 1.5 * 2^63 separates
// them.
// Mask of the lanes of primes[m..m+7] where the scan stops: the prime
// passes the root r, or the product q * p of the exact quotient test falls
// below the threshold.
__attribute__((target("avx512f,avx512dq"))) inline __mmask8 arrets(
    const int64_t* premiers, const uint64_t* inverses, int64_t m, __m512i vs,
    __m512i vr, __m512d seuil) {
  const __m512i p = _mm512_loadu_si512(premiers + m);
  const __m512i q = _mm512_mullo_epi64(vs, _mm512_loadu_si512(inverses + m));
  const __m512d produit =
      _mm512_mul_pd(_mm512_cvtepu64_pd(q), _mm512_cvtepi64_pd(p));
  return _mm512_cmp_pd_mask(produit, seuil, _CMP_LT_OQ) |
         _mm512_cmpgt_epi64_mask(p, vr);
}

// The divisibility test of divise() on eight lanes, where the 128-bit product
// is not at hand: q * p is computed in double precision instead. When p
// divides s, q * p = s < 2^63; otherwise q * p >= 2^64. Two roundings move
// either by a relative 2^-52 at most, so the threshold 1.5 * 2^63 separates
// them. Sixteen primes per turn: one branch for two groups of eight.
__attribute__((target("avx512f,avx512dq"))) int64_t huit_par_huit(int64_t debut,
                                                                  int64_t fin,
                                                                  uint64_t s,
                                                                  int64_t r) {
  const __m512i vs = _mm512_set1_epi64(static_cast<int64_t>(s));
  const __m512i vr = _mm512_set1_epi64(r);
  const __m512d seuil = _mm512_set1_pd(0x1.8p63);
  const int64_t* premiers = Nprem.data();
  const uint64_t* inverses = Ninv.data();
  int64_t m = debut;
  for (; m + 15 <= fin; m += 16) {
    const unsigned bas = arrets(premiers, inverses, m, vs, vr, seuil);
    const unsigned haut = arrets(premiers, inverses, m + 8, vs, vr, seuil);
    if ((bas | haut) != 0) return m + std::countr_zero(bas | haut << 8);
  }
  if (m + 7 <= fin) {
    const unsigned bas = arrets(premiers, inverses, m, vs, vr, seuil);
    if (bas != 0) return m + std::countr_zero(bas);
    m += 8;
  }
  return un_par_un(m, fin, s, r);
}

const bool kAvx512 =
    __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");

}  // namespace

int64_t premier_arret(int64_t debut, int64_t fin, uint64_t s, int64_t r) {
  if (kAvx512) return huit_par_huit(debut, fin, s, r);
  return un_par_un(debut, fin, s, r);
}
