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
#include <functional>
#include <memory>
#include <vector>

#include "arith/divisibilite.h"
#include "arith/facteurs.h"
#include "arith/primalite.h"
#include "arith/racine.h"
#include "arith/rho.h"
#include "arith/scission.h"
#include "diviseurs/sommes.h"
#include "plage/flux.h"
#include "plage/multiples.h"
#include "premiers/cribleurs.h"
#include "sortie/ligne.h"
#include "sortie/sortie.h"
#include "state/state.h"

namespace {

// The program's own working arrays and notes, for the listings on one
// thread.
std::unique_ptr<Poste> poste_principal;
Notes notes_principales;

// Whether the N whose divisors sum to `somme` has a line: any N, or for
// the even sums, one whose sum is even.
template <class Somme>
bool a_sa_ligne(const Crible& c, Somme somme) {
  return a_la_parite(somme, c.paires ? 2 : 0);
}

// Calls faire with poste's sums: in 64 bits where every one of c's fits, else
// in 128.
template <class P, class F>
decltype(auto) selon_les_sommes(P& poste, const Crible& c, F&& faire) {
  if (somme_sur_64_bits(c.fin)) return faire(poste.somme64);
  return faire(poste.somme128);
}

// Multiplies in the count and sum of N at t the factors of its rest r,
// composite, split at its divisor d.
template <class Somme>
void multiplier(Poste& poste, Somme* somme, int64_t t, uint64_t r, uint64_t d) {
  Facteurs trouves;
  scinder_connu(r, d, trouves);
  for (int32_t m = 0; m < trouves.nombre; ++m) {
    poste.nombre[t] *= static_cast<uint32_t>(trouves.exposant[m] + 1);
    somme[t] *= somme_des_puissances(trouves.premier[m], trouves.exposant[m]);
  }
}

// Divides the sieving primes' powers out of the segment of n N from lo:
// the small primes each at their multiples, the large ones from the
// segment's bucket, each then put in the bucket of its next multiple, or
// dropped past the range's end.
template <class Somme>
void diviser_cribleurs(Poste& poste, Somme* somme, const Crible& c, int64_t lo,
                       int64_t n) {
  const auto noter = [&](uint64_t t, int32_t exposant, uint64_t somme_p) {
    poste.nombre[t] *= static_cast<uint32_t>(exposant + 1);
    somme[t] *= somme_p;
  };
  const Table& premiers = *c.premiers;
  for (size_t u = 2; u < c.fin_petits; ++u)
    poste.prochain[u] = static_cast<uint32_t>(diviser_les_multiples(
        poste.cofacteur, static_cast<uint64_t>(n),
        static_cast<uint64_t>(premiers[u]), poste.prochain[u], noter));
  if (c.fin_petits == c.fin_premiers) return;
  const auto s = static_cast<size_t>((lo - poste.seaux_debut) / kSegment);
  std::vector<Coup>& seau = poste.seaux[s];
  // A segment but the range's last is kSegment long, so the next multiple,
  // p - (n - t) past the next segment's start, is in segment s + 1 +
  // (that distance) / kSegment.
  const int64_t restants = poste.seaux_fin - (lo + n);  // N after the segment
  for (const Coup coup : seau) {
    const uint64_t d = diviser_les_multiples(
        poste.cofacteur, static_cast<uint64_t>(n), coup.p, coup.t, noter);
    if (static_cast<int64_t>(d) <= restants)
      poste.seaux[s + 1 + d / kSegment].push_back(
          {coup.p, static_cast<uint32_t>(d % kSegment)});
  }
  seau.clear();
}

// Divides the streamed primes noted for the segment from lo out of their
// multiple there: each has one, and divides the cofactor, as no smaller
// prime sieved has a factor in common with it.
template <class Somme>
void diviser_grands(Poste& poste, Somme* somme, int64_t lo,
                    const std::vector<uint32_t>& notes) {
  const auto base = static_cast<uint64_t>(lo);
  for (const uint32_t q : notes) {
    const uint64_t p = q, t = jusqua_multiple(base, p);
    uint64_t r = poste.cofacteur[t] / p;
    int32_t exposant = 1;
    for (; r % p == 0; ++exposant) r /= p;
    poste.cofacteur[t] = r;
    poste.nombre[t] *= static_cast<uint32_t>(exposant + 1);
    somme[t] *= somme_des_puissances(p, exposant);
  }
}

// The segment of n N from lo: every prime below c.suivant divided out,
// then the rests.
template <class Somme>
void segment(Poste& poste, Somme* somme, const Crible& c, int64_t lo, int64_t n,
             const std::vector<const Notes*>& notes) {
  for (int64_t t = 0; t < n; ++t) {
    const auto v = static_cast<uint64_t>(lo + t);
    const int e = std::countr_zero(v);
    poste.cofacteur[t] = v >> e;
    poste.nombre[t] = static_cast<uint32_t>(e + 1);
    somme[t] = (Somme{2} << e) - 1;
  }
  diviser_cribleurs(poste, somme, c, lo, n);
  const auto indice = static_cast<size_t>((lo - c.debut) / kSegment);
  for (const Notes* liste : notes)
    diviser_grands(poste, somme, lo, (*liste)[indice]);
  // The rests: 1, primes (below the square of `suivant` with no test, above
  // it by Miller-Rabin), squares, and the others, split side by side.
  poste.composes.clear();
  const uint64_t suivant = c.suivant;
  for (int64_t t = 0; t < n; ++t) {
    const uint64_t r = poste.cofacteur[t];
    if (r == 1) continue;
    if (carre_depasse(suivant, r) || est_premier(r)) {
      poste.nombre[t] *= 2;
      somme[t] *= r + 1;
      continue;
    }
    const auto racine_r =
        static_cast<uint64_t>(racine(static_cast<int64_t>(r)));
    if (racine_r * racine_r == r)
      multiplier(poste, somme, t, r, racine_r);
    else
      poste.composes.push_back(static_cast<uint32_t>(t));
  }
  const size_t n_composes = poste.composes.size();
  for (size_t u = 0; u < n_composes; ++u)
    poste.restes[u] = poste.cofacteur[poste.composes[u]];
  rho_par_lots(poste.restes, n_composes, poste.diviseurs);
  for (size_t u = 0; u < n_composes; ++u)
    multiplier(poste, somme, poste.composes[u], poste.restes[u],
               poste.diviseurs[u]);
}

template <class Somme>
char* lignes(const Poste& poste, const Somme* somme, const Crible& c,
             int64_t lo, int64_t de, int64_t vers, int64_t& rang,
             TextesLigne& textes, char* out) {
  for (int64_t t = de; t < vers; ++t)
    if (a_sa_ligne(c, somme[t]))
      out = former_resultat(out, textes, ++rang, lo + t, poste.nombre[t],
                            somme[t]);
  return out;
}

}  // namespace

Crible preparer_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                       bool paires) {
  Crible c;
  c.debut = debut;
  // The N after a segment's last is formed: 2^63 - 1 is left out, as for
  // a listing stopped before it.
  c.fin = std::min(fin, INT64_MAX - 1);
  fin = c.fin;
  c.paires = paires;
  const int64_t racine_fin = racine(fin);
  // A streamed prime is noted once per segment: it must have at most one
  // multiple in each.
  if (flux) borne = std::max(borne, kSegment);
  c.premiers = &cribleurs_jusqua(
      std::max(borne, flux ? racine(racine_fin) : int64_t{0}) + 1);
  // The sieving primes: the odd ones up to borne whose square is at most
  // fin; `suivant` is the first prime past them. The table ends on a prime
  // above borne, so the search stops within it.
  const Table& premiers = *c.premiers;
  for (int64_t p = premiers[2];
       p <= borne &&
       !carre_depasse(static_cast<uint64_t>(p), static_cast<uint64_t>(fin));
       p = premiers[++c.fin_premiers]) {
  }
  c.suivant = static_cast<uint64_t>(premiers[c.fin_premiers]);
  for (c.fin_petits = 2;
       c.fin_petits < c.fin_premiers && premiers[c.fin_petits] <= kSegment;
       ++c.fin_petits) {
  }
  // With every prime up to the root of fin divided out, what is left of an
  // N is 1 or a prime: below (racine_fin + 1)^2, it passes the root test.
  c.grands = flux && borne < racine_fin;
  if (c.grands) {
    c.apres = borne;
    c.jusqua = racine_fin;
    c.suivant = static_cast<uint64_t>(racine_fin) + 1;
  }
  return c;
}

// Kept out of its callers: inlined into the listing's loop, its noting loop
// lost its registers to the caller's values (one load more per note).
[[gnu::noinline]] bool noter_grands(const Crible& c, Poste& poste, int64_t de,
                                    int64_t vers, Notes& notes,
                                    Continuer continuer) {
  const auto longueur = static_cast<uint64_t>(c.fin - c.debut + 1);
  notes.resize((longueur + kSegment - 1) / kSegment);
  for (auto& liste : notes) liste.clear();
  const auto base = static_cast<uint64_t>(c.debut);
  Flux& flux = poste.flux;
  flux_debut(flux, *c.premiers, de, vers);
  while (flux_suivant(flux)) {
    flux_decalages(flux, base);
    for (int64_t u = 0; u < flux.taille; ++u) {
      const uint32_t q = flux.premiers[u];
      for (uint64_t t = flux.decalages[u]; t < longueur; t += q)
        notes[t / kSegment].push_back(q);
    }
    if (continuer != nullptr && !continuer(c.debut - 1)) return false;
  }
  return true;
}

// A part of a range on several threads places up to two million primes:
// above 2^16 the distance comes from the quotient in double precision.
void placer(Poste& poste, const Crible& c, int64_t lo, int64_t fin) {
  const Table& premiers = *c.premiers;
  poste.prochain.resize(c.fin_petits);
  poste.seaux_debut = lo;
  poste.seaux_fin = fin;
  const auto segments = static_cast<size_t>((fin - lo) / kSegment + 1);
  if (poste.seaux.size() < segments) poste.seaux.resize(segments);
  for (size_t s = 0; s < segments; ++s) poste.seaux[s].clear();
  const auto base = static_cast<uint64_t>(lo);
  const auto x = static_cast<double>(lo);
  for (size_t u = 2; u < c.fin_premiers; ++u) {
    const int64_t p = premiers[u];
    const auto d = static_cast<int64_t>(
        p < 65536
            ? jusqua_multiple(base, static_cast<uint64_t>(p))
            : jusqua_multiple_approche(base, x, static_cast<uint64_t>(p)));
    if (u < c.fin_petits)
      poste.prochain[u] = static_cast<uint32_t>(d);
    else if (d <= fin - lo)
      poste.seaux[static_cast<size_t>(d / kSegment)].push_back(
          {static_cast<uint32_t>(p), static_cast<uint32_t>(d % kSegment)});
  }
}

int64_t parcourir_segments(Poste& poste, const Crible& c, int64_t debut,
                           int64_t fin, const std::vector<const Notes*>& notes,
                           const std::function<bool(int64_t, int64_t)>& apres) {
  placer(poste, c, debut, fin);
  for (int64_t lo = debut; lo <= fin;) {
    const int64_t n = std::min(kSegment, fin - lo + 1);
    selon_les_sommes(
        poste, c, [&](auto* somme) { segment(poste, somme, c, lo, n, notes); });
    if (!apres(lo, n)) return lo + n - 1;
    lo += n;
  }
  return fin;
}

char* former_lignes(const Poste& poste, const Crible& c, int64_t lo, int64_t de,
                    int64_t vers, int64_t& rang, TextesLigne& textes,
                    char* out) {
  return selon_les_sommes(poste, c, [&](const auto* somme) {
    return lignes(poste, somme, c, lo, de, vers, rang, textes, out);
  });
}

int64_t lister_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                      Continuer continuer) {
  const Crible c = preparer_crible(debut, fin, borne, flux, parite == 2);
  if (!poste_principal) poste_principal = std::make_unique<Poste>();
  Poste& poste = *poste_principal;
  std::vector<const Notes*> notes;
  if (c.grands) {
    if (!noter_grands(c, poste, c.apres, c.jusqua, notes_principales,
                      continuer))
      return debut - 1;
    notes.push_back(&notes_principales);
  }
  // The lines of a segment, a packet at a time, straight into the output
  // buffer; then whether to go on, past the slice's last segment.
  return parcourir_segments(
      poste, c, c.debut, c.fin, notes, [&](int64_t lo, int64_t n) {
        for (int64_t de = 0; de < n; de += kPaquet) {
          const int64_t vers = std::min(n, de + kPaquet);
          sortie_pos =
              former_lignes(poste, c, lo, de, vers, nN, textes_de_sortie(),
                            place(static_cast<size_t>(vers - de) * kLigneMax));
        }
        return lo + n > c.fin || continuer(lo + n - 1);
      });
}
