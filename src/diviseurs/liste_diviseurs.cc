// Divisors of N in increasing order without sorting: the sorted list L of
// the divisors made of the first primes becomes, for each next prime power
// q^e, the merge of L, L q, ..., L q^e.
//
// This is the odometer suiv2's structure: its order is made of blocks,
// Nfact[1]^j times the odometer order of the other primes, each block made
// in turn of blocks for the next prime. Sorting the blocks of each level and
// merging them is the merge of L, L q, ..., L q^e with L the divisors of the
// other primes. The levels are taken here from the first prime on, so that
// the largest prime comes last, where it often passes every divisor so far
// and its lists follow each other unmerged; the result is the same table.

#include "diviseurs/liste_diviseurs.h"

#include <algorithm>
#include <array>
#include <vector>

#include "commun/commutateurs.h"
#include "commun/vectoriel.h"
#include "diviseurs/sommes.h"
#include "state/state.h"

namespace {

constexpr uint64_t kInfini = ~uint64_t{0};

// Three scratch lists, in turn the divisors of the primes so far, the
// partial merges and the next list. Element 0 of each stays 0 and the element
// past the last divisor is set to kInfini: the merges below read both as
// sentinels. They only grow, so once they hold the largest ND1 met, no N
// allocates.
std::vector<uint64_t> tampons[3];

// One step of a merge chain from the front: the smaller of *ia and m * *ib
// goes to *o. The choice is arithmetic: the processor cannot guess it.
inline void avant(const uint64_t*& ia, const uint64_t*& ib, uint64_t m,
                  uint64_t*& o) {
  const uint64_t x = *ia, y = *ib * m;
  const bool prendre_y = y < x;
  *o++ = prendre_y ? y : x;
  ia += !prendre_y;
  ib += prendre_y;
}

// One step from the back: the larger of *ja and m * *jb goes to o[-1].
inline void arriere(const uint64_t*& ja, const uint64_t*& jb, uint64_t m,
                    uint64_t*& o) {
  const uint64_t x = *ja, y = *jb * m;
  const bool prendre_y = y > x;
  *--o = prendre_y ? y : x;
  ja -= !prendre_y;
  jb -= prendre_y;
}

// out[0..nu+nv-1] = u[0..nu-1] merged with m * v[0..nv-1]. Both are
// increasing, u[0] is the smallest value of all and m * v[nv-1] the largest,
// with u[nu] = kInfini and v[-1] = 0. A chain of steps is bound by the
// latency of load, compare and advance, so independent chains run side by
// side: one from the front and one from the back; from 32 elements on, four,
// the output cut in two halves at a point found by bisection (the number
// coupe of elements of u among the h smallest).
void fusion(const uint64_t* u, int64_t nu, const uint64_t* v, int64_t nv,
            uint64_t m, uint64_t* out) {
  const int64_t total = nu + nv;
  const uint64_t *ia = u, *ib = v, *ja = u + nu - 1, *jb = v + nv - 1;
  uint64_t* fin = out + total;
  if (total >= 32) {
    const int64_t h = total / 4 * 2;
    int64_t coupe = h > nv ? h - nv : 0, haut = h < nu ? h : nu;
    while (coupe < haut) {
      const int64_t milieu = (coupe + haut) / 2;
      if (u[milieu] < m * v[h - 1 - milieu])
        coupe = milieu + 1;
      else
        haut = milieu;
    }
    const uint64_t *ka = u + coupe - 1, *kb = v + (h - coupe) - 1;
    const uint64_t *la = u + coupe, *lb = v + (h - coupe);
    uint64_t *ok = out + h, *ol = out + h;
    for (int64_t o = h / 2; o > 0; --o) {
      avant(ia, ib, m, out);
      arriere(ka, kb, m, ok);
      avant(la, lb, m, ol);
      arriere(ja, jb, m, fin);
    }
    // The first half is done; two chains finish the second.
    ia = la;
    ib = lb;
    out = ol;
  }
  for (int64_t o = (fin - out) / 2; o > 0; --o) {
    avant(ia, ib, m, out);
    arriere(ja, jb, m, fin);
  }
  // An odd count leaves one element, the smaller of the two heads.
  if (out != fin) avant(ia, ib, m, out);
}

// The sum of t[0..n-1], the n divisors of N.
u128 sommer(const uint64_t* t, int64_t n) {
  if (somme_sur_64_bits(N)) {
    uint64_t somme = 0;
    for (int64_t m = 0; m < n; ++m) somme += t[m];
    return somme;
  }
  u128 somme = 0;
  for (int64_t m = 0; m < n; ++m) somme += t[m];
  return somme;
}

// The merges that turn the sorted list L (exponent 0 of the new prime q) into
// the sorted list of L * q^j for 0 <= j <= e. With the list made for the
// exponents 0..c, a doubling step D merges it with its multiple by q^(c+1)
// (exponents 0..2c+1), an increment step I merges L with its multiple by q
// (exponents 0..c+1). Bit s of pas is set when step s is a D; r counts the
// steps (at most 12 for e <= 62).
struct Plan {
  uint32_t pas = 0;
  int32_t r = 0;
};
constexpr Plan faire_plan(int64_t e) {
  if (e == 0) return {};
  const bool double_ = e % 2 == 1;
  Plan p = faire_plan(double_ ? (e - 1) / 2 : e - 1);
  if (double_) p.pas |= 1u << p.r;
  ++p.r;
  return p;
}
constexpr auto kPlans = [] {
  std::array<Plan, 64> t{};
  for (int64_t e = 0; e < 64; ++e) t[static_cast<size_t>(e)] = faire_plan(e);
  return t;
}();

#if KELVARO_AVX512
// --- Up to 32 divisors, in AVX-512 registers ---------------------------------
// The lists live in registers of eight lanes, increasing, the lanes past the
// last divisor holding kInfini; every merge is a bitonic network, the same
// instructions whatever the values, so no branch depends on them.

// Sorts v when its lanes rise then fall (or fall then rise): compare-exchange
// at distances 4, 2 and 1.
AVX512 inline __m512i trier8(__m512i v) {
  __m512i p = _mm512_shuffle_i64x2(v, v, 0x4E);
  v = _mm512_mask_blend_epi64(0xF0, _mm512_min_epu64(v, p),
                              _mm512_max_epu64(v, p));
  p = _mm512_permutex_epi64(v, 0x4E);
  v = _mm512_mask_blend_epi64(0xCC, _mm512_min_epu64(v, p),
                              _mm512_max_epu64(v, p));
  p = _mm512_shuffle_epi32(v, _MM_PERM_BADC);
  return _mm512_mask_blend_epi64(0xAA, _mm512_min_epu64(v, p),
                                 _mm512_max_epu64(v, p));
}

// The lanes of v in reverse order.
AVX512 inline __m512i renverser(__m512i v) {
  return _mm512_permutexvar_epi64(_mm512_set_epi64(0, 1, 2, 3, 4, 5, 6, 7), v);
}

// Merges the increasing gauche and droite into lo (the 8 smallest) and hi:
// gauche followed by droite reversed rises then falls.
AVX512 inline void fusion16(__m512i gauche, __m512i droite, __m512i& lo,
                            __m512i& hi) {
  const __m512i rb = renverser(droite);
  lo = trier8(_mm512_min_epu64(gauche, rb));
  hi = trier8(_mm512_max_epu64(gauche, rb));
}

// The 16 smallest of gauche (8 lanes) merged with b0, b1 (16 lanes,
// increasing) into lo, hi: the lower half of the 32-lane network, gauche
// padded with kInfini.
AVX512 inline void fusion24(__m512i gauche, __m512i b0, __m512i b1, __m512i& lo,
                            __m512i& hi) {
  const __m512i x = _mm512_min_epu64(gauche, renverser(b1));
  const __m512i y = renverser(b0);  // min(kInfini, y) is y
  lo = trier8(_mm512_min_epu64(x, y));
  hi = trier8(_mm512_max_epu64(x, y));
}

// For the concatenation of L (n lanes, 1 <= n <= 8, in a) and L q (in b):
// lane u of the result (0 <= u < 16) is a[u] below n, else b[u - n]; past
// 2 n, a lane of b past n, which holds kInfini (b[7] when n < 8).
constexpr auto kApres = [] {
  std::array<std::array<int64_t, 16>, 9> t{};
  for (size_t n = 1; n <= 8; ++n)
    for (size_t u = 0; u < 16; ++u)
      t[n][u] = u < n       ? static_cast<int64_t>(u)
                : u - n < 8 ? static_cast<int64_t>(8 + u - n)
                            : 15;
  return t;
}();

// Mask of the first n lanes, n below 0 counting as 0.
inline __mmask8 lanes(int64_t n) {
  if (n <= 0) return 0;
  return n >= 8 ? __mmask8{0xFF} : static_cast<__mmask8>((1u << n) - 1);
}

// m times the first n lanes of v; the others keep kInfini. Below 2^32 every
// divisor fits the 32-bit multiplication, much faster than the 64-bit one.
AVX512 inline __m512i multiplier(__m512i v, uint64_t m, int64_t n, bool petit) {
  const __m512i infini = _mm512_set1_epi64(-1);
  const __m512i vf = _mm512_set1_epi64(static_cast<int64_t>(m));
  return petit ? _mm512_mask_mul_epu32(infini, lanes(n), v, vf)
               : _mm512_mask_mullo_epi64(infini, lanes(n), v, vf);
}

// The 32 lanes of g0, g1 and d0, d1 (each pair increasing) merged into r:
// g followed by d reversed rises then falls; compare-exchange at distance
// 16, then 8, then within each register.
AVX512 inline void fusion32(__m512i g0, __m512i g1, __m512i d0, __m512i d1,
                            __m512i* r) {
  const __m512i rb1 = renverser(d1), rb0 = renverser(d0);
  const __m512i bas0 = _mm512_min_epu64(g0, rb1),
                haut0 = _mm512_max_epu64(g0, rb1);
  const __m512i bas1 = _mm512_min_epu64(g1, rb0),
                haut1 = _mm512_max_epu64(g1, rb0);
  r[0] = trier8(_mm512_min_epu64(bas0, bas1));
  r[1] = trier8(_mm512_max_epu64(bas0, bas1));
  r[2] = trier8(_mm512_min_epu64(haut0, haut1));
  r[3] = trier8(_mm512_max_epu64(haut0, haut1));
}

// A sorted list of up to 32 divisors in four registers of eight lanes, the
// lanes past the n-th holding kInfini; produit is its largest divisor, the
// product of the prime powers taken so far.
struct EnRegistres {
  __m512i r[4];
  int64_t n;
  uint64_t produit;
};

// The powers of the first prime, its exponent below 8 here. The powers up
// to q1^7 are made whatever the exponent (a power past N may wrap, and is
// masked off): no loop whose end the processor must guess.
AVX512 inline EnRegistres semer() {
  const __m512i infini = _mm512_set1_epi64(-1);
  const int64_t n = Nexpo[1] + 1;
  const auto q1 = static_cast<uint64_t>(Nfact[1]);
  const uint64_t q2 = q1 * q1, q4 = q2 * q2;
  const uint64_t q3 = q2 * q1, q5 = q4 * q1, q6 = q4 * q2, q7 = q4 * q3;
  const uint64_t puissances[8] = {1, q1, q2, q3, q4, q5, q6, q7};
  const __m512i r0 = _mm512_mask_mov_epi64(
      infini, lanes(n),
      _mm512_set_epi64(static_cast<int64_t>(q7), static_cast<int64_t>(q6),
                       static_cast<int64_t>(q5), static_cast<int64_t>(q4),
                       static_cast<int64_t>(q3), static_cast<int64_t>(q2),
                       static_cast<int64_t>(q1), 1));
  return {{r0, infini, infini, infini}, n, puissances[n - 1]};
}

// q, of exponent 1, passes every divisor of liste, at most eight of them: L q
// follows L, its lanes moved up by n.
AVX512 inline void allonger(EnRegistres& liste, uint64_t q, bool petit) {
  const __m512i lq = multiplier(liste.r[0], q, liste.n, petit);
  const auto u = static_cast<size_t>(liste.n);
  liste.r[1] = _mm512_permutex2var_epi64(
      liste.r[0], _mm512_loadu_si512(kApres[u].data() + 8), lq);
  liste.r[0] = _mm512_permutex2var_epi64(
      liste.r[0], _mm512_loadu_si512(kApres[u].data()), lq);
  liste.n *= 2;
  liste.produit *= q;
}

// L, L q, ..., L q^e merged by the steps of q^e's plan. The list of the
// primes so far never passes half of the whole, the next prime doubling it
// at least. With k32, an increment step on more than 16 lanes is left to
// the portable merges: returns false, liste left half made.
template <bool k32>
AVX512 bool fusionner_puissances(EnRegistres& liste, uint64_t q, int64_t e,
                                 bool petit) {
  for (int64_t u = 0; u < e; ++u) liste.produit *= q;
  const Plan plan = kPlans[static_cast<size_t>(e)];
  const __m512i liste0 = liste.r[0], liste1 = liste.r[1];
  const int64_t nl = liste.n;
  uint64_t fc = q;
  for (int32_t s = 0; s < plan.r; ++s) {
    if ((plan.pas >> s) & 1) {  // the result, 2 n lanes, fits
      if (!k32 || liste.n <= 8)
        fusion16(liste.r[0], multiplier(liste.r[0], fc, liste.n, petit),
                 liste.r[0], liste.r[1]);
      else
        fusion32(liste.r[0], liste.r[1], multiplier(liste.r[0], fc, 8, petit),
                 multiplier(liste.r[1], fc, liste.n - 8, petit), liste.r);
      fc *= fc;
      liste.n *= 2;
      continue;
    }
    if (liste.n <= 8 && nl <= 8) {
      fusion16(liste0, multiplier(liste.r[0], q, liste.n, petit), liste.r[0],
               liste.r[1]);
    } else if (!k32) {
      fusion24(liste0, multiplier(liste.r[0], q, 8, petit),
               multiplier(liste.r[1], q, liste.n - 8, petit), liste.r[0],
               liste.r[1]);
    } else {
      if (liste.n > 16) return false;
      fusion32(liste0, liste1, multiplier(liste.r[0], q, liste.n, petit),
               multiplier(liste.r[1], q, liste.n - 8, petit), liste.r);
    }
    fc *= q;
    liste.n += nl;
  }
  return true;
}

// The divisors made of the primes 1 to dernier (2 <= dernier <= nf), at
// most 16 of them (at most 32 with k32), in registers. With k32, a first
// exponent above 7, or an increment step on more than 16 lanes, is left to
// the portable merges: returns false.
template <bool k32>
AVX512 bool en_registres(int32_t dernier, EnRegistres& liste) {
  if (k32 && Nexpo[1] >= 8) return false;
  const bool petit = N < (int64_t{1} << 32);
  liste = semer();
  for (int32_t m = 2; m <= dernier; ++m) {
    const auto q = static_cast<uint64_t>(Nfact[static_cast<size_t>(m)]);
    const int64_t e = Nexpo[static_cast<size_t>(m)];
    if (e == 1 && liste.n <= 8 && q > liste.produit)
      allonger(liste, q, petit);
    else if (!fusionner_puissances<k32>(liste, q, e, petit))
      return false;
  }
  return true;
}

// Stores the divisors of liste to t; returns the sums of the lanes, modulo
// 2^64.
template <bool k32>
AVX512 __m512i ranger(const EnRegistres& liste, uint64_t* t) {
  __m512i total = _mm512_setzero_si512();
  for (int64_t u = 0; u < (k32 ? 4 : 2); ++u) {
    const __mmask8 masque = lanes(liste.n - 8 * u);
    _mm512_mask_storeu_epi64(t + 8 * u, masque, liste.r[u]);
    total = _mm512_add_epi64(total, _mm512_maskz_mov_epi64(masque, liste.r[u]));
  }
  return total;
}

// The divisors of the primes 1 to dernier written to t; returns how many,
// or 0 where they are left to the portable merges.
AVX512 int64_t premiers_en_registres(uint64_t* t, int32_t dernier) {
  EnRegistres liste;
  if (!en_registres<true>(dernier, liste)) return 0;
  ranger<true>(liste, t);
  return liste.n;
}

// All the divisors of N written to t, and their sum; false where they are
// left to the portable merges, nothing written. Where the sum fits 64 bits
// the lanes are added modulo 2^64.
template <bool k32>
AVX512 bool tous_en_registres(uint64_t* t, u128& somme) {
  EnRegistres liste;
  if (!en_registres<k32>(nf, liste)) return false;
  const __m512i total = ranger<k32>(liste, t);
  somme = somme_sur_64_bits(N)
              ? static_cast<uint64_t>(_mm512_reduce_add_epi64(total))
              : sommer(t, liste.n);
  return true;
}
#endif  // KELVARO_AVX512

// The divisors made of the primes 1 to m0 - 1, written to liste followed by
// kInfini; returns how many, nl, and sets m0, the first prime left to merge
// in. In registers while there are at most 32 of them; else, or without
// AVX-512, the powers of the first prime alone (m0 = 2).
int64_t premiers_diviseurs(uint64_t* liste, int32_t& m0) {
  int64_t nl = Nexpo[1] + 1;
  m0 = 2;
#if KELVARO_AVX512
  int32_t m = 2;
  int64_t n = nl;
  while (m <= nf && n * (Nexpo[static_cast<size_t>(m)] + 1) <= 32)
    n *= Nexpo[static_cast<size_t>(m++)] + 1;
  if (m > 2 && m <= nf && avx512_actif &&
      premiers_en_registres(liste, m - 1) != 0) {
    m0 = m;
    liste[n] = kInfini;
    return n;
  }
#endif
  const auto q1 = static_cast<uint64_t>(Nfact[1]);
  uint64_t p = 1;
  for (int64_t u = 0; u < nl; ++u, p *= q1) liste[u] = p;
  if (nf > 1) liste[nl] = kInfini;  // for one prime, liste is the table
  return nl;
}

// When q passes every divisor so far, L q^j ends below q^(j+1), where
// L q^(j+1) starts: the lists follow each other unmerged. Writes L, L q, ...,
// L q^e to dest (L = liste[0..nl-1]); returns the count.
int64_t enchainer(const uint64_t* liste, int64_t nl, uint64_t q, int64_t e,
                  uint64_t* dest) {
  uint64_t* out = dest;
  uint64_t p = 1;
  for (int64_t u = 0; u <= e; ++u, p *= q)
    for (int64_t v = 0; v < nl; ++v) *out++ = liste[v] * p;
  return out - dest;
}

// The merges of the plan for q^e that turn L = liste[0..nl-1] into the
// sorted L, L q, ..., L q^e in dest, through the two scratch lists autres
// in turn for the steps before the last; returns the count. Each list but
// the last written is followed by kInfini for the next merge to read; dest
// too unless fin says it is the whole table.
int64_t fusionner(const uint64_t* liste, int64_t nl, uint64_t q, int64_t e,
                  uint64_t* dest, uint64_t* const autres[2], bool fin) {
  const Plan plan = kPlans[static_cast<size_t>(e)];
  // cur holds the exponents 0..c of q, and fc is q^(c+1).
  const uint64_t* cur = liste;
  int64_t ncur = nl;
  uint64_t fc = q;
  for (int32_t s = 0; s < plan.r; ++s) {
    const int32_t restants = plan.r - 1 - s;
    uint64_t* out = restants == 0 ? dest : autres[(restants - 1) % 2];
    if ((plan.pas >> s) & 1) {
      fusion(cur, ncur, cur, ncur, fc, out);
      fc *= fc;  // may wrap after the last step, where it is not used
      ncur *= 2;
    } else {
      fusion(liste, nl, cur, ncur, q, out);
      fc *= q;
      ncur += nl;
    }
    if (!fin || restants > 0) out[ncur] = kInfini;
    cur = out;
  }
  return ncur;
}

// Makes the three scratch lists hold n divisors and their two sentinels.
void preparer_tampons(size_t n) {
  if (tampons[0].size() < n + 2)
    for (auto& b : tampons) b.resize(n + 2, 0);
}

}  // namespace

u128 diviseurs_croissants(int64_t* t) {
  auto* sortie = reinterpret_cast<uint64_t*>(t);
  if (nf == 0) {
    sortie[0] = 1;
    return 1;
  }
#if KELVARO_AVX512
  u128 somme = 0;
  if (nf >= 2 && ND1 <= 32 && avx512_actif &&
      (ND1 <= 16 ? tous_en_registres<false>(sortie, somme)
                 : tous_en_registres<true>(sortie, somme)))
    return somme;
#endif
  preparer_tampons(static_cast<size_t>(ND1));
  // The sorted list of the divisors of the primes so far is in scratch list
  // x; each next prime's list goes to the one after it, or to t for the last
  // prime. Every product divides N, so nothing overflows.
  int32_t m0 = 2;
  int32_t x = 0;
  uint64_t* liste = nf == 1 ? sortie : tampons[0].data() + 1;
  int64_t nl = premiers_diviseurs(liste, m0);
  for (int32_t m = m0; m <= nf; ++m) {
    const auto q = static_cast<uint64_t>(Nfact[static_cast<size_t>(m)]);
    const int64_t e = Nexpo[static_cast<size_t>(m)];
    // The steps before the last alternate between the two lists that are
    // neither the current one nor the next.
    const int32_t y = (x + 1) % 3, z = (x + 2) % 3;
    uint64_t* dest = m == nf ? sortie : tampons[y].data() + 1;
    uint64_t* const autres[2] = {tampons[m == nf ? y : z].data() + 1,
                                 tampons[m == nf ? z : y].data() + 1};
    if (q > liste[nl - 1]) {
      nl = enchainer(liste, nl, q, e, dest);
      if (m < nf) dest[nl] = kInfini;
    } else {
      nl = fusionner(liste, nl, q, e, dest, autres, m == nf);
    }
    liste = dest;
    x = y;
  }
  return sommer(sortie, ND1);
}
