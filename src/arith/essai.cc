// Trial of sixteen primes per step with AVX-512 where the processor has it,
// one per step otherwise; both give the same answer. The scan reads a
// compact 32-bit copy of the primes it has reached, where divisibility costs
// one 32-bit multiplication.

#include "arith/essai.h"

#include <immintrin.h>

#include <bit>
#include <vector>

#include "arith/inverse.h"
#include "state/state.h"

namespace {

// For m up to the farthest index scanned so far: p32[m] = Nprem[m], inv32[m]
// its inverse modulo 2^32, lim32[m] = (2^32 - 1) / p32[m], rec[m] = 1 / p.
// For s < 2^32, p divides s exactly when s * inv32 (mod 2^32) <= lim32: the
// product is then s / p, and otherwise a number that times p wraps past
// 2^32. The prime 2 has no inverse (zeros there); the scan starts at 3.
std::vector<uint32_t> p32(1), inv32(1), lim32(1);
std::vector<double> rec(1);

// Extends the copy to index fin of Nprem.
void etendre(int64_t fin) {
  while (static_cast<int64_t>(p32.size()) <= fin) {
    const auto p = static_cast<uint32_t>(Nprem[p32.size()]);
    const bool impair = p % 2 == 1;
    p32.push_back(p);
    inv32.push_back(impair ? static_cast<uint32_t>(inverse(p)) : 0);
    lim32.push_back(impair ? UINT32_MAX / p : 0);
    rec.push_back(1.0 / p);
  }
}

int64_t un_par_un(int64_t debut, int64_t fin, uint64_t s, int64_t r) {
  const auto r32 = static_cast<uint32_t>(r);  // r < 2^32 as s < 2^63
  if (s <= UINT32_MAX) {
    const auto s32 = static_cast<uint32_t>(s);
    for (int64_t m = debut; m <= fin; ++m)
      if (p32[static_cast<size_t>(m)] > r32 ||
          s32 * inv32[static_cast<size_t>(m)] <= lim32[static_cast<size_t>(m)])
        return m;
    return fin + 1;
  }
  for (int64_t m = debut; m <= fin; ++m) {
    const auto p = static_cast<uint64_t>(p32[static_cast<size_t>(m)]);
    if (p > r32 || divise(s, p, Ninv[static_cast<size_t>(m)])) return m;
  }
  return fin + 1;
}

// The divisibility test of divise() on eight lanes, where the 128-bit product
// is not at hand: q * p is computed in double precision instead. When p
// divides s, q * p = s < 2^63; otherwise q * p >= 2^64. Two roundings move
// either by a relative 2^-52 at most, so the threshold 1.5 * 2^63 separates
// them. Mask of the lanes of primes m..m+7 where the scan stops: the prime
// passes the root r, or p divides s.
__attribute__((target("avx512f,avx512dq"))) inline unsigned arrets64(
    int64_t m, uint64_t s, int64_t r) {
  const __m512i p = _mm512_loadu_si512(Nprem.data() + m);
  const __m512i q = _mm512_mullo_epi64(_mm512_set1_epi64(static_cast<int64_t>(s)),
                                       _mm512_loadu_si512(Ninv.data() + m));
  const __m512d produit =
      _mm512_mul_pd(_mm512_cvtepu64_pd(q), _mm512_cvtepi64_pd(p));
  return _mm512_cmp_pd_mask(produit, _mm512_set1_pd(0x1.8p63), _CMP_LT_OQ) |
         _mm512_cmpgt_epi64_mask(p, _mm512_set1_epi64(r));
}

// Sixteen primes per step on the 32-bit copy. For s < 2^32 the test is exact
// (lim32). Above, the sixteen quotients s / p, when exact, lie in a window
// [bas, bas + largeur] worked out from the first and last prime of the step;
// q = s * inv32 is the exact quotient modulo 2^32, so a lane whose q - bas
// (mod 2^32) falls outside the window cannot divide s. The window is narrow
// once p is large against the 16 primes' spread, so the lanes that pass are
// rare and checked exactly. A step whose window is too wide takes the 64-bit
// test instead.
__attribute__((target("avx512f,avx512dq"))) int64_t seize_par_seize(
    int64_t debut, int64_t fin, uint64_t s, int64_t r) {
  const __m512i vs = _mm512_set1_epi32(static_cast<int32_t>(s));
  const __m512i vr = _mm512_set1_epi32(static_cast<int32_t>(r));
  const bool petit = s <= UINT32_MAX;
  const auto sd = static_cast<double>(s);
  int64_t m = debut;
  for (; m + 15 <= fin; m += 16) {
    const auto um = static_cast<size_t>(m);
    const __m512i q =
        _mm512_mullo_epi32(vs, _mm512_loadu_si512(inv32.data() + um));
    const unsigned racine = _mm512_cmpgt_epu32_mask(
        _mm512_loadu_si512(p32.data() + um), vr);
    if (petit) {
      const unsigned div =
          _mm512_cmple_epu32_mask(q, _mm512_loadu_si512(lim32.data() + um));
      if ((racine | div) != 0) return m + std::countr_zero(racine | div);
      continue;
    }
    // Bounds of s / p over the step, widened by the rounding of three
    // double operations (a relative 2^-50 covers them) and one unit.
    const double haut = sd * rec[um] * (1 + 0x1p-50) + 1;
    const double bas = sd * rec[um + 15] * (1 - 0x1p-50) - 1;
    if (haut - bas >= 0x1p31) {
      const unsigned a = arrets64(m, s, r), b = arrets64(m + 8, s, r);
      if ((a | b) != 0) return m + std::countr_zero(a | b << 8);
      continue;
    }
    const auto b64 = static_cast<uint64_t>(bas < 0 ? 0 : bas);
    const auto largeur = static_cast<uint32_t>(static_cast<uint64_t>(haut) - b64);
    const unsigned cand = _mm512_cmple_epu32_mask(
        _mm512_sub_epi32(q, _mm512_set1_epi32(static_cast<int32_t>(b64))),
        _mm512_set1_epi32(static_cast<int32_t>(largeur)));
    for (unsigned x = racine | cand; x != 0; x &= x - 1) {
      const int64_t l = m + std::countr_zero(x);
      if ((racine >> (l - m) & 1) != 0 ||
          divise(s, p32[static_cast<size_t>(l)], Ninv[static_cast<size_t>(l)]))
        return l;
    }
  }
  return un_par_un(m, fin, s, r);
}

// KELVARO_SANS_AVX512 forces the portable path, to measure it.
#ifdef KELVARO_SANS_AVX512
const bool kAvx512 = false;
#else
const bool kAvx512 =
    __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
#endif

}  // namespace

int64_t premier_arret(int64_t debut, int64_t fin, uint64_t s, int64_t r) {
  if (static_cast<int64_t>(p32.size()) <= fin) etendre(fin);
  if (kAvx512) return seize_par_seize(debut, fin, s, r);
  return un_par_un(debut, fin, s, r);
}
