// A segment of consecutive N starts as N's odd part, with the count and sum
// of the divisors of N's power of 2; each sieving prime p divides its power
// out of its multiples, multiplying in its count (e + 1) and its sum (1 + p
// + ... + p^e). The large primes of a streamed range are first noted, for
// the whole range, in the segments they divide an N of. What is left is 1,
// a prime, or, past the sieving bound, a product of primes above it: proved
// prime by Miller-Rabin, or split by rho, four rests side by side.

#include "plage/segments.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "arith/divisibilite.h"
#include "arith/facteurs.h"
#include "arith/primalite.h"
#include "arith/racine.h"
#include "arith/rho.h"
#include "arith/scission.h"
#include "plage/cribleurs.h"
#include "plage/flux.h"
#include "sortie/ligne.h"
#include "state/state.h"

namespace {

constexpr int64_t kSegment = int64_t{1} << 15;

uint64_t cofacteur[kSegment];
uint32_t nombre[kSegment];
// The sums: in 64 bits below 2^60, where sigma(N) < 2^63, else in 128.
uint64_t somme64[kSegment];
u128 somme128[kSegment];

// The N of the segment whose rest is composite and no square, their rests,
// and a divisor of each.
std::vector<uint32_t> composes;
uint64_t restes[kSegment], diviseurs[kSegment];

// For the sieving primes, premiers[2..], the offset of each one's next
// multiple from the start of the segment.
std::vector<uint32_t> prochain;

// The streamed primes that divide an N of each segment of the range, each
// noted once per segment: above 2^15, none has two multiples in one.
std::vector<std::vector<uint32_t>> impacts;
Flux flux_grands;

// 1 + q + ... + q^e, at most sigma(N) < 2^127.
u128 somme_puissances(uint64_t q, int32_t e) {
  u128 terme = 1, total = 1;
  for (int32_t u = 0; u < e; ++u) total += terme *= q;
  return total;
}

// Multiplies in the count and sum of N at t the factors of its rest r,
// composite, split at its divisor d.
template <class Somme>
void multiplier(Somme* somme, int64_t t, uint64_t r, uint64_t d) {
  Facteurs trouves;
  scinder_connu(r, d, trouves);
  for (int32_t m = 0; m < trouves.nombre; ++m) {
    nombre[t] *= static_cast<uint32_t>(trouves.exposant[m] + 1);
    somme[t] *= static_cast<Somme>(
        somme_puissances(trouves.premier[m], trouves.exposant[m]));
  }
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

// Divides the streamed primes noted for the segment from lo out of their
// multiple there: each has one, and divides the cofactor, as no smaller
// prime sieved has a factor in common with it.
template <class Somme>
void diviser_grands(Somme* somme, int64_t lo,
                    const std::vector<uint32_t>& notes) {
  const auto base = static_cast<uint64_t>(lo);
  for (const uint32_t q : notes) {
    const uint64_t p = q, t = (p - base % p) % p;
    uint64_t r = cofacteur[t] / p, puissance = p, s = 1 + p;
    uint32_t exposant = 1;
    while (r % p == 0) {
      r /= p;
      s += puissance *= p;  // p^e divides N < 2^63: no overflow
      ++exposant;
    }
    cofacteur[t] = r;
    nombre[t] *= exposant + 1;
    somme[t] *= s;
  }
}

// The segment of n N from lo, with the primes premiers[1..fin_premiers)
// and the streamed primes noted for it (none when notes is null). Every
// prime below `suivant` has been divided out.
template <class Somme>
void segment(Somme* somme, int64_t lo, int64_t n, const Table& premiers,
             size_t fin_premiers, uint64_t suivant,
             const std::vector<uint32_t>* notes) {
  for (int64_t t = 0; t < n; ++t) {
    const auto v = static_cast<uint64_t>(lo + t);
    const int e = std::countr_zero(v);
    cofacteur[t] = v >> e;
    nombre[t] = static_cast<uint32_t>(e + 1);
    somme[t] = (Somme{2} << e) - 1;
  }
  cribler(somme, premiers, fin_premiers, n);
  if (notes != nullptr) diviser_grands(somme, lo, *notes);
  // The rests: 1, primes (below the square of `suivant` with no test, above
  // it by Miller-Rabin), squares, and the others, split side by side.
  composes.clear();
  for (int64_t t = 0; t < n; ++t) {
    const uint64_t r = cofacteur[t];
    if (r == 1) continue;
    if (r / suivant < suivant || est_premier(r)) {
      nombre[t] *= 2;
      somme[t] *= r + 1;
      continue;
    }
    const auto racine_r =
        static_cast<uint64_t>(racine(static_cast<int64_t>(r)));
    if (racine_r * racine_r == r)
      multiplier(somme, t, r, racine_r);
    else
      composes.push_back(static_cast<uint32_t>(t));
  }
  for (size_t u = 0; u < composes.size(); ++u)
    restes[u] = cofacteur[composes[u]];
  rho_par_lots(restes, composes.size(), diviseurs);
  for (size_t u = 0; u < composes.size(); ++u)
    multiplier(somme, composes[u], restes[u], diviseurs[u]);
}

// Notes, for each segment of the range from debut to fin, the primes of
// (apres, jusqua] that divide one of its N. Asks `continuer` after each
// segment of primes; returns false when it said to stop.
bool noter_grands(int64_t debut, int64_t fin, int64_t apres, int64_t jusqua,
                  const Table& premiers, Continuer continuer) {
  const auto longueur = static_cast<uint64_t>(fin - debut + 1);
  impacts.resize((longueur + kSegment - 1) / kSegment);
  for (auto& notes : impacts) notes.clear();
  const auto base = static_cast<uint64_t>(debut);
  flux_debut(flux_grands, premiers, apres, jusqua);
  while (flux_suivant(flux_grands)) {
    flux_decalages(flux_grands, base);
    for (int64_t u = 0; u < flux_grands.taille; ++u) {
      const uint32_t q = flux_grands.premiers[u];
      for (uint64_t t = flux_grands.decalages[u]; t < longueur; t += q)
        impacts[t / kSegment].push_back(q);
    }
    if (!continuer(debut - 1)) return false;
  }
  return true;
}

// The segments from debut to fin, and their lines; the streamed primes'
// notes with them when `grands` is set. Returns the last N whose line is
// written: fin, or the end of a segment where continuer said to stop.
template <class Somme>
int64_t lister_segments(Somme* somme, int64_t debut, int64_t fin,
                        const Table& premiers, size_t fin_premiers,
                        uint64_t suivant, bool grands, Continuer continuer) {
  const bool paires = parite == 2;
  for (int64_t lo = debut; lo <= fin;) {
    const int64_t n = std::min(kSegment, fin - lo + 1);
    segment(somme, lo, n, premiers, fin_premiers, suivant,
            grands ? &impacts[static_cast<size_t>((lo - debut) / kSegment)]
                   : nullptr);
    for (int64_t t = 0; t < n; ++t)
      if (!paires || (somme[t] & 1) == 0)
        ecrire_resultat(++nN, lo + t, nombre[t], somme[t]);
    lo += n;
    if (lo <= fin && !continuer(lo - 1)) return lo - 1;
  }
  return fin;
}

}  // namespace

int64_t lister_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                      Continuer continuer) {
  const int64_t racine_fin = racine(fin);
  // A streamed prime is noted once per segment: it must have at most one
  // multiple in each.
  if (flux) borne = std::max(borne, kSegment);
  const Table& premiers = cribleurs_jusqua(
      std::max(borne, flux ? racine(racine_fin) : int64_t{0}) + 1);
  // The sieving primes: the odd ones up to borne whose square is at most
  // fin; `suivant` is the first prime past them. The table ends on a prime
  // above borne, so the search stops within it.
  size_t fin_premiers = 2;
  for (int64_t p = premiers[2]; p <= borne && p <= fin / p;
       p = premiers[++fin_premiers]) {
  }
  auto suivant = static_cast<uint64_t>(premiers[fin_premiers]);
  prochain.resize(fin_premiers);
  for (size_t c = 2; c < fin_premiers; ++c) {
    const int64_t p = premiers[c];
    prochain[c] = static_cast<uint32_t>((p - debut % p) % p);
  }
  // With every prime up to the root of fin divided out, what is left of an
  // N is 1 or a prime: below (racine_fin + 1)^2, it passes the root test.
  const bool grands = flux && borne < racine_fin;
  if (grands) {
    if (!noter_grands(debut, fin, borne, racine_fin, premiers, continuer))
      return debut - 1;
    suivant = static_cast<uint64_t>(racine_fin) + 1;
  }
  if (fin < int64_t{1} << 60)
    return lister_segments(somme64, debut, fin, premiers, fin_premiers, suivant,
                           grands, continuer);
  return lister_segments(somme128, debut, fin, premiers, fin_premiers, suivant,
                         grands, continuer);
}
