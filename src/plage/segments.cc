// A segment of consecutive N starts as N's odd part, with the count and sum
// of the divisors of N's power of 2; each sieving prime p divides its power
// out of its multiples, multiplying in its count (e + 1) and its sum (1 + p
// + ... + p^e). What is left is 1, a prime, or, past the sieving bound, a
// product of primes above it, split one N at a time.

#include "plage/segments.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "arith/divisibilite.h"
#include "arith/facteurs.h"
#include "arith/scission.h"
#include "plage/cribleurs.h"
#include "sortie/ligne.h"
#include "state/state.h"

namespace {

constexpr int64_t kSegment = int64_t{1} << 15;

uint64_t cofacteur[kSegment];
uint32_t nombre[kSegment];
// The sums: in 64 bits below 2^60, where sigma(N) < 2^63, else in 128.
uint64_t somme64[kSegment];
u128 somme128[kSegment];

// For the sieving primes, premiers[2..], the offset of each one's next
// multiple from the start of the segment.
std::vector<uint32_t> prochain;

// 1 + q + ... + q^e, at most sigma(N) < 2^127.
u128 somme_puissances(uint64_t q, int32_t e) {
  u128 terme = 1, total = 1;
  for (int32_t u = 0; u < e; ++u) total += terme *= q;
  return total;
}

// Divides the sieving primes' powers out of the segment of n N from lo.
template <class Somme>
void cribler(Somme* somme, const Table& premiers, size_t fin_premiers,
             int64_t n) {
  for (size_t c = 2; c < fin_premiers; ++c) {
    const auto p = static_cast<uint64_t>(premiers[c]);
    const Essai e = essai_de(p);
    uint64_t t = prochain[c];
    for (; t < static_cast<uint64_t>(n); t += p) {
      uint64_t r = cofacteur[t] * e.inverse, puissance = p, s = 1 + p;
      uint32_t exposant = 1;
      while (divise(r, e)) {
        r *= e.inverse;
        s += puissance *= p;
        ++exposant;
      }
      cofacteur[t] = r;
      nombre[t] *= exposant + 1;
      somme[t] *= s;
    }
    prochain[c] = static_cast<uint32_t>(t - static_cast<uint64_t>(n));
  }
}

// The segment of n N from lo, with the primes premiers[1..fin_premiers).
// Every prime below `suivant` has been divided out.
template <class Somme>
void segment(Somme* somme, int64_t lo, int64_t n, const Table& premiers,
             size_t fin_premiers, uint64_t suivant) {
  for (int64_t t = 0; t < n; ++t) {
    const auto v = static_cast<uint64_t>(lo + t);
    const int e = std::countr_zero(v);
    cofacteur[t] = v >> e;
    nombre[t] = static_cast<uint32_t>(e + 1);
    somme[t] = (Somme{2} << e) - 1;
  }
  cribler(somme, premiers, fin_premiers, n);
  for (int64_t t = 0; t < n; ++t) {
    const uint64_t r = cofacteur[t];
    if (r == 1) continue;
    if (r / suivant < suivant) {  // no factor below its root: a prime
      nombre[t] *= 2;
      somme[t] *= r + 1;
      continue;
    }
    Facteurs trouves;
    scinder_reste(r, suivant - 1, trouves);
    for (int32_t m = 0; m < trouves.nombre; ++m) {
      nombre[t] *= static_cast<uint32_t>(trouves.exposant[m] + 1);
      somme[t] *= static_cast<Somme>(
          somme_puissances(trouves.premier[m], trouves.exposant[m]));
    }
  }
}

// The segments from debut to fin, and their lines.
template <class Somme>
void lister_segments(Somme* somme, int64_t debut, int64_t fin,
                     const Table& premiers, size_t fin_premiers,
                     uint64_t suivant) {
  const bool paires = parite == 2;
  for (int64_t lo = debut; lo <= fin;) {
    const int64_t n = std::min(kSegment, fin - lo + 1);
    segment(somme, lo, n, premiers, fin_premiers, suivant);
    for (int64_t t = 0; t < n; ++t)
      if (!paires || (somme[t] & 1) == 0)
        ecrire_resultat(++nN, lo + t, nombre[t], somme[t]);
    lo += n;
  }
}

}  // namespace

void lister_crible(int64_t debut, int64_t fin, int64_t borne) {
  const Table& premiers = cribleurs_jusqua(borne + 1);
  // The sieving primes: the odd ones up to borne whose square is at most
  // fin; `suivant` is the first prime past them. The table ends on a prime
  // above borne, so the search stops within it.
  size_t fin_premiers = 2;
  for (int64_t p = premiers[2]; p <= borne && p <= fin / p;
       p = premiers[++fin_premiers]) {
  }
  const auto suivant = static_cast<uint64_t>(premiers[fin_premiers]);
  prochain.resize(fin_premiers);
  for (size_t c = 2; c < fin_premiers; ++c) {
    const int64_t p = premiers[c];
    prochain[c] = static_cast<uint32_t>((p - debut % p) % p);
  }
  if (fin < int64_t{1} << 60)
    lister_segments(somme64, debut, fin, premiers, fin_premiers, suivant);
  else
    lister_segments(somme128, debut, fin, premiers, fin_premiers, suivant);
}
