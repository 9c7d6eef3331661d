// Segments of 2^16 odd numbers, marked as the prime table's sieve marks
// them, read off sixty-four marks at a time into 32-bit primes.

#include "plage/flux.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "commun/commutateurs.h"
#include "commun/vectoriel.h"
#include "plage/multiples.h"

namespace {

#if KELVARO_AVX512
// The primes of the n marks of compose after lo into sortie, sixteen marks
// at a time: their numbers, compressed to the unmarked ones, stored whole
// (sortie has room for sixteen past the last prime). Returns how many.
__attribute__((target("avx512f,avx512bw"))) int64_t extraire_avx512(
    const unsigned char* compose, int64_t n, int64_t lo, uint32_t* sortie) {
  const __m512i pas = _mm512_set1_epi32(32);
  __m512i nombres = _mm512_add_epi32(
      _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(lo + 1))),
      _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28,
                        30));
  uint32_t* debut = sortie;
  for (int64_t x = 0; x < n; x += 64) {
    const __m512i v = _mm512_loadu_si512(compose + x);
    uint64_t m = _mm512_cmpeq_epi8_mask(v, _mm512_setzero_si512());
    for (int quart = 0; quart < 4; ++quart, m >>= 16) {
      const auto seize = static_cast<__mmask16>(m);
      _mm512_storeu_si512(sortie, _mm512_maskz_compress_epi32(seize, nombres));
      sortie += std::popcount(static_cast<unsigned>(seize));
      nombres = _mm512_add_epi32(nombres, pas);
    }
  }
  return sortie - debut;
}

bool avx512bw_present() {
  static const bool present = __builtin_cpu_supports("avx512bw");
  return present;
}

// The distances, eight primes at a time, as jusqua_multiple_approche finds
// them (plage/multiples.h).
AVX512 void decalages_avx512(const uint32_t* premiers, int64_t n, uint64_t base,
                             uint32_t* sortie) {
  const __m512d b = _mm512_set1_pd(static_cast<double>(base));
  const __m512i bi = _mm512_set1_epi64(static_cast<int64_t>(base));
  const __m512i zero = _mm512_setzero_si512();
  int64_t u = 0;
  for (; u + 8 <= n; u += 8) {
    const __m256i p32 =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(premiers + u));
    const __m512i p = _mm512_cvtepu32_epi64(p32);
    const __m512i q =
        _mm512_cvttpd_epu64(_mm512_div_pd(b, _mm512_cvtepu32_pd(p32)));
    __m512i r = _mm512_sub_epi64(bi, _mm512_mullo_epi64(q, p));
    r = _mm512_mask_add_epi64(r, _mm512_cmplt_epi64_mask(r, zero), r, p);
    r = _mm512_mask_sub_epi64(r, _mm512_cmpge_epi64_mask(r, p), r, p);
    const __m512i d =
        _mm512_maskz_sub_epi64(_mm512_cmpneq_epi64_mask(r, zero), p, r);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sortie + u),
                        _mm512_cvtepi64_epi32(d));
  }
  const auto bd = static_cast<double>(base);
  for (; u < n; ++u)
    sortie[u] =
        static_cast<uint32_t>(jusqua_multiple_approche(base, bd, premiers[u]));
}
#endif

}  // namespace

void flux_debut(Flux& flux, const Table& cribleurs, int64_t apres,
                int64_t fin) {
  flux.cribleurs = &cribleurs;
  flux.fin = fin;
  flux.fin_crible = apres + (apres & 1);  // the odd numbers after it
  flux.prochain.clear();
  flux.taille = 0;
}

bool flux_suivant(Flux& flux) {
  const int64_t lo = flux.fin_crible;
  if (lo >= flux.fin) {
    flux.taille = 0;
    return false;
  }
  // The odd numbers of (lo, hi), hi - 1 at most fin (or fin + 1, even).
  const int64_t n = std::min(kMarquesMax, (flux.fin - lo + 1) / 2);
  const int64_t hi = lo + 2 * n;
  const Table& t = *flux.cribleurs;
  copier_motif(flux.compose, lo, n);
  prendre_cribleurs(flux.prochain, t.data(), static_cast<int64_t>(t.size()) - 1,
                    lo, hi);
  marquer(flux.compose, flux.prochain, t.data(), lo / 2, n);
  std::memset(flux.compose + n, 1, 64);
  flux.fin_crible = hi;
#if KELVARO_AVX512
  if (avx512_actif && avx512bw_present()) {
    flux.taille = extraire_avx512(flux.compose, n, lo, flux.premiers);
    return true;
  }
#endif
  uint32_t* sortie = flux.premiers;
  for (int64_t x = 0; x < n; x += 64)
    for (uint64_t m = premiers_de_64(flux.compose + x); m != 0; m &= m - 1)
      *sortie++ = static_cast<uint32_t>(lo + 1 + 2 * (x + std::countr_zero(m)));
  flux.taille = sortie - flux.premiers;
  return true;
}

void flux_decalages(Flux& flux, uint64_t base) {
#if KELVARO_AVX512
  if (avx512_actif) {
    decalages_avx512(flux.premiers, flux.taille, base, flux.decalages);
    return;
  }
#endif
  const auto b = static_cast<double>(base);
  for (int64_t u = 0; u < flux.taille; ++u)
    flux.decalages[u] = static_cast<uint32_t>(
        jusqua_multiple_approche(base, b, flux.premiers[u]));
}
