// The walk over the first primes: sixteen per step with AVX-512 where the
// build and the processor have it, one per step otherwise; both give the
// same answers. Divisibility is tested against N's odd part, which does not
// change along the walk; only the stop test follows the cofactor, so a
// prime factor found is divided out and the walk goes on from the next
// prime, in the same pass.

#include "arith/division_essai.h"

#include <bit>

#include "commun/commutateurs.h"
#include "commun/vectoriel.h"
#include "state/state.h"

namespace {

// Room for the kMarche primes from index 1, and sixteen lanes past the last
// one, so that a step of sixteen never reads outside the arrays.
constexpr size_t kPlace = kMarche + 1 + 16;

// The last of the first kMarche primes, where construire's sieve ends.
constexpr uint32_t kDernierPremier = 17863;

// How many primes there are up to x, by trial division, at compile time.
constexpr int64_t premiers_jusqua(uint32_t x) {
  int64_t compte = 0;
  for (uint32_t v = 2; v <= x; ++v) {
    bool premier = true;
    for (uint32_t d = 2; d * d <= v && premier; ++d) premier = v % d != 0;
    compte += premier ? 1 : 0;
  }
  return compte;
}
// Fewer primes up to it than kMarche, and the walk would read records left
// at zero, whose divisibility test never fails; more, and construire would
// write past the arrays. carre32 holds the squares in 32 bits.
static_assert(premiers_jusqua(kDernierPremier) == kMarche);
static_assert(uint64_t{kDernierPremier} * kDernierPremier <= UINT32_MAX);

// The records of the first primes, one array per field so that sixteen
// lanes load at once. For the prime 2 (index 1) the inverses and limits
// are 0, and past kMarche every field.
// carre32 is p^2: below 2^32, as the kMarche-th prime is 17863. inv32 and
// lim32 are the low half of the inverse and the high half of the limit: the
// test of the record modulo 2^32, for s below 2^32.
struct Lanes {
  alignas(64) uint64_t p[kPlace];
  alignas(64) uint64_t inv64[kPlace];
  alignas(64) uint64_t lim64[kPlace];
  alignas(64) uint32_t inv32[kPlace];
  alignas(64) uint32_t lim32[kPlace];
  alignas(64) uint32_t carre32[kPlace];
  // For the primes 3 to 59 (index 2 to 17), one lane each: the test of
  // p^(j+1) modulo 2^32.
  alignas(64) uint32_t puissance_inv[4][16];
  alignas(64) uint32_t puissance_lim[4][16];
};

// The first kMarche primes by a sieve of Eratosthenes up to 17863, and
// their records. They are sieved here, once, rather than read from Nprem:
// the prime table grows only as far as each N's walk reaches, so it may not
// hold them yet.
Lanes construire() {
  constexpr uint32_t kFin = kDernierPremier;
  static bool compose[kFin + 1];
  Lanes t{};
  size_t m = 1;
  for (uint32_t n = 2; n <= kFin; ++n) {
    if (compose[n]) continue;
    for (uint32_t multiple = n * n; multiple <= kFin; multiple += n)
      compose[multiple] = true;
    t.p[m] = n;
    if (n > 2) {
      const Essai e = essai_de(n);
      t.inv64[m] = e.inverse;
      t.lim64[m] = e.limite;
      t.inv32[m] = static_cast<uint32_t>(e.inverse);
      t.lim32[m] = static_cast<uint32_t>(e.limite >> 32);
    }
    t.carre32[m] = n * n;
    ++m;
  }
  for (size_t u = 0; u < 16; ++u) {
    uint32_t puissance = 1;
    for (size_t e = 0; e < 4; ++e) {
      puissance *= static_cast<uint32_t>(t.p[u + 2]);  // 59^4 < 2^32
      t.puissance_inv[e][u] = static_cast<uint32_t>(inverse(puissance));
      t.puissance_lim[e][u] = UINT32_MAX / puissance;
    }
  }
  return t;
}

const Lanes lanes = construire();

// c capped at 2^32 - 1: every p^2 is below it, so a prime passes the root
// of c exactly when it passes the root of the capped value.
inline uint32_t plafond(uint64_t c) {
  return c < UINT32_MAX ? static_cast<uint32_t>(c) : UINT32_MAX;
}

// Divides the prime of index m out of c and records it; returns whether c
// is now 1, which ends the walk there.
inline bool retirer(int64_t m, uint64_t& c, Facteurs& trouves) {
  int32_t e = 0;
  c = diviser_tout(c, essai_numero(m), e);
  noter(trouves, lanes.p[m], e);
  return c == 1;
}

// One prime per step.
int64_t un_par_un(uint64_t impair, int64_t debut, int64_t fin,
                  Facteurs& trouves, uint64_t& c) {
  for (int64_t m = debut; m <= fin; ++m) {
    if (lanes.carre32[m] > plafond(c)) return m;
    if (divise(impair, essai_numero(m)) && retirer(m, c, trouves)) return m;
  }
  return fin + 1;
}

#if KELVARO_AVX512
// Mask of the sixteen lanes from index m that lie within fin.
inline unsigned dans(int64_t m, int64_t fin) {
  const int64_t n = fin - m + 1;
  return n >= 16 ? 0xFFFFu : (1u << n) - 1;
}

// Mask of the sixteen primes from index m whose square passes c.
AVX512 inline unsigned passe_racine(size_t m, uint64_t c) {
  return _mm512_cmpgt_epu32_mask(
      _mm512_loadu_si512(lanes.carre32 + m),
      _mm512_set1_epi32(static_cast<int>(plafond(c))));
}

// Mask of the sixteen primes from index m that divide s: in 32-bit lanes
// below 2^32, in two halves of 64-bit lanes above.
AVX512 inline unsigned divisent(size_t m, uint64_t s) {
  if (s <= UINT32_MAX) {
    const __m512i q = _mm512_mullo_epi32(_mm512_set1_epi32(static_cast<int>(s)),
                                         _mm512_loadu_si512(lanes.inv32 + m));
    return _mm512_cmple_epu32_mask(q, _mm512_loadu_si512(lanes.lim32 + m));
  }
  const __m512i vs = _mm512_set1_epi64(static_cast<int64_t>(s));
  const __m512i q0 =
      _mm512_mullo_epi64(vs, _mm512_loadu_si512(lanes.inv64 + m));
  const __m512i q1 =
      _mm512_mullo_epi64(vs, _mm512_loadu_si512(lanes.inv64 + m + 8));
  return _mm512_cmple_epu64_mask(q0, _mm512_loadu_si512(lanes.lim64 + m)) |
         static_cast<unsigned>(_mm512_cmple_epu64_mask(
             q1, _mm512_loadu_si512(lanes.lim64 + m + 8)))
             << 8;
}

// The product of the sixteen lanes modulo 2^32, in halving steps on 64-bit
// lanes, where the multiplication of the low halves is twice as quick as
// the one of 32-bit lanes.
AVX512 inline uint32_t produit(__m512i v) {
  __m512i x =
      _mm512_mul_epu32(_mm512_cvtepu32_epi64(_mm512_castsi512_si256(v)),
                       _mm512_cvtepu32_epi64(_mm512_extracti64x4_epi64(v, 1)));
  x = _mm512_mul_epu32(x, _mm512_shuffle_i64x2(x, x, 0x4E));
  x = _mm512_mul_epu32(x, _mm512_permutex_epi64(x, 0x4E));
  x = _mm512_mul_epu32(x, _mm512_shuffle_epi32(x, _MM_PERM_BADC));
  return static_cast<uint32_t>(_mm512_cvtsi512_si32(x));
}

// The primes 3 to 59 against s (odd, below 2^32), without a branch on the
// factors found: the exponent of each prime is how many of p, p^2, p^3 and
// p^4 divide s, and what is left is s times the inverses of those powers.
// The factors are written by compressing the lanes that divide. A prime
// whose fourth power divides s is finished one division at a time: about
// one s in 81. Returns what is left.
AVX512 uint64_t seize_petits(uint32_t s, Facteurs& trouves) {
  const __m512i vs = _mm512_set1_epi32(static_cast<int>(s));
  const __m512i un = _mm512_set1_epi32(1);
  __m512i e = _mm512_setzero_si512(), quotient = un;
  __mmask16 d[4];
  for (size_t x = 0; x < 4; ++x) {
    const __m512i inv = _mm512_loadu_si512(lanes.puissance_inv[x]);
    d[x] = _mm512_cmple_epu32_mask(_mm512_mullo_epi32(vs, inv),
                                   _mm512_loadu_si512(lanes.puissance_lim[x]));
    e = _mm512_mask_add_epi32(e, d[x], e, un);
    quotient = _mm512_mask_mov_epi32(quotient, d[x], inv);
  }
  uint64_t c = static_cast<uint32_t>(s * produit(quotient));  // mod 2^32
  const int32_t avant = trouves.nombre;
  const auto bas = static_cast<__mmask8>(d[0]);
  const auto haut = static_cast<__mmask8>(d[0] >> 8);
  const int n_bas = std::popcount(static_cast<unsigned>(bas));
  _mm512_storeu_si512(
      trouves.premier + avant,
      _mm512_maskz_compress_epi64(bas, _mm512_loadu_si512(lanes.p + 2)));
  _mm512_storeu_si512(
      trouves.premier + avant + n_bas,
      _mm512_maskz_compress_epi64(haut, _mm512_loadu_si512(lanes.p + 10)));
  _mm512_storeu_si512(trouves.exposant + avant,
                      _mm512_maskz_compress_epi32(d[0], e));
  trouves.nombre = avant + std::popcount(static_cast<unsigned>(d[0]));
  for (unsigned x = d[3]; x != 0; x &= x - 1) [[unlikely]] {
      const int b = std::countr_zero(x);
      const Essai premier = essai_numero(2 + b);
      const int32_t place =
          avant + std::popcount(static_cast<unsigned>(d[0]) & ((1u << b) - 1));
      if (divise(c, premier))
        c = diviser_tout(c, premier, trouves.exposant[place]);
    }
  return c;
}

// Sixteen primes per step. Within a step the lanes that divide or pass the
// root are taken lowest first; a division lowers c, so the root mask is
// taken again after it.
AVX512 int64_t seize(uint64_t impair, int64_t debut, int64_t fin,
                     Facteurs& trouves, uint64_t& c) {
  for (int64_t m = debut; m <= fin; m += 16) {
    const auto um = static_cast<size_t>(m);
    const unsigned valides = dans(m, fin), diviseurs = divisent(um, impair);
    unsigned racine = passe_racine(um, c);
    for (unsigned x = (diviseurs | racine) & valides; x != 0;) {
      const int b = std::countr_zero(x);
      if ((racine >> b & 1) != 0) return m + b;
      if (retirer(m + b, c, trouves)) return m + b;
      racine = passe_racine(um, c);
      x = (diviseurs | racine) & valides & (~1u << b);
    }
  }
  return fin + 1;
}
#endif  // KELVARO_AVX512

}  // namespace

uint64_t premier_numero(int64_t m) { return lanes.p[m]; }

Essai essai_numero(int64_t m) {
  return {lanes.p[m], lanes.inv64[m], lanes.lim64[m]};
}

int64_t marcher(uint64_t impair, int64_t fin, Facteurs& trouves, uint64_t& c) {
  c = impair;
#if KELVARO_AVX512
  if (avx512_actif && impair <= UINT32_MAX && fin >= 17) {
    // Past 59, the next prime is 61: a rest below 61^2 is 1 or a prime.
    c = seize_petits(static_cast<uint32_t>(impair), trouves);
    return c < uint64_t{61} * 61 ? 0 : seize(impair, 18, fin, trouves, c);
  }
  if (avx512_actif) return seize(impair, 2, fin, trouves, c);
#endif
  return un_par_un(impair, 2, fin, trouves, c);
}
