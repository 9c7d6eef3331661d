// The squares k^2 and the doubled squares 2k^2 of a range, merged in
// increasing order. Their divisors' count and sum come from the factors of
// k, found by a sieve over a block of consecutive k: with k = 2^a m, m odd,
// k^2 = 2^2a m^2 and 2k^2 = 2^(2a+1) m^2, and a prime p^e of m gives m^2
// the factor p^2e, with 2e + 1 divisors of sum 1 + p + ... + p^2e.

#include "plage/carres.h"

#include <algorithm>
#include <bit>

#include "arith/divisibilite.h"
#include "arith/racine.h"
#include "diviseurs/sommes.h"
#include "plage/multiples.h"
#include "premiers/cribleurs.h"
#include "sortie/ligne.h"
#include "state/state.h"

namespace {

constexpr int64_t kBloc = 4096;  // k per block

// One run of k, for the squares (double_ = false) or the doubled squares,
// sieved a block at a time.
struct Suite {
  uint64_t suivant = 0, dernier = 0;  // next k, last k; past it: exhausted
  bool double_ = false;
  uint64_t base = 0;  // first k of the block
  int64_t taille = 0;
  uint32_t deux[kBloc];       // a, the exponent of 2 in k
  uint32_t nombre[kBloc];     // divisors of m^2
  u128 somme[kBloc];          // their sum
  uint64_t cofacteur[kBloc];  // what the primes sieved so far leave of m
};
Suite carres, doubles;

// The divisors' count and sum of m^2 for the k of the block from s.suivant on.
void calculer_bloc(Suite& s) {
  s.base = s.suivant;
  s.taille = static_cast<int64_t>(
      std::min<uint64_t>(kBloc, s.dernier - s.suivant + 1));
  const uint64_t fin = s.base + static_cast<uint64_t>(s.taille) - 1;
  for (int64_t t = 0; t < s.taille; ++t) {
    const uint64_t v = s.base + static_cast<uint64_t>(t);
    const int deux = std::countr_zero(v);
    s.deux[t] = static_cast<uint32_t>(deux);
    s.cofacteur[t] = v >> deux;
    s.nombre[t] = 1;
    s.somme[t] = 1;
  }
  const Table& premiers =
      cribleurs_jusqua(racine(static_cast<int64_t>(fin)) + 1);
  for (size_t c = 2; c < premiers.size(); ++c) {
    const auto p = static_cast<uint64_t>(premiers[c]);
    if (carre_depasse(p, fin)) break;
    // p^2e divides k^2 < 2^63.
    diviser_les_multiples(s.cofacteur, static_cast<uint64_t>(s.taille), p,
                          jusqua_multiple(s.base, p),
                          [&](uint64_t t, int32_t exposant, uint64_t) {
                            s.nombre[t] *=
                                static_cast<uint32_t>(2 * exposant + 1);
                            s.somme[t] *= somme_des_puissances(p, 2 * exposant);
                          });
  }
  // What is left above 1 is one prime q, below 2^32: m^2 has q^2.
  for (int64_t t = 0; t < s.taille; ++t)
    if (const uint64_t q = s.cofacteur[t]; q > 1) {
      s.nombre[t] *= 3;
      s.somme[t] *= u128{q} * q + q + 1;
    }
}

uint64_t n_de(const Suite& s) {
  return (s.double_ ? 2 : 1) * s.suivant * s.suivant;
}

// The result line of s's current k, then the next k.
void ecrire_et_avancer(Suite& s) {
  const auto t = static_cast<int64_t>(s.suivant - s.base);
  const uint32_t a2 = 2 * s.deux[t] + (s.double_ ? 1 : 0);
  // 2^(a2) has a2 + 1 divisors, of sum 2^(a2 + 1) - 1.
  const u128 somme = ((u128{1} << (a2 + 1)) - 1) * s.somme[t];
  const int64_t nd = int64_t{a2 + 1} * s.nombre[t];
  ecrire_resultat(++nN, static_cast<int64_t>(n_de(s)), nd, somme);
  if (++s.suivant <= s.dernier &&
      s.suivant == s.base + static_cast<uint64_t>(s.taille))
    calculer_bloc(s);
}

// The k with lo <= f k^2 <= hi, f = 1 or 2.
void commencer_suite(Suite& s, bool double_, int64_t lo, int64_t hi) {
  const int64_t facteur = double_ ? 2 : 1;
  const int64_t bas = lo / facteur + (lo % facteur != 0 ? 1 : 0),
                haut = hi / facteur;
  int64_t premier = racine(bas);
  if (premier * premier < bas) ++premier;
  s.double_ = double_;
  s.suivant = static_cast<uint64_t>(premier);
  s.dernier = static_cast<uint64_t>(racine(haut));
  if (s.suivant <= s.dernier) calculer_bloc(s);
}

}  // namespace

// k^2 and 2 m^2 are never equal (the root of 2 is irrational).
void lister_impairs(int64_t debut, int64_t fin) {
  commencer_suite(carres, false, debut, fin);
  commencer_suite(doubles, true, debut, fin);
  for (;;) {
    const bool c = carres.suivant <= carres.dernier,
               d = doubles.suivant <= doubles.dernier;
    if (!c && !d) return;
    ecrire_et_avancer(c && (!d || n_de(carres) < n_de(doubles)) ? carres
                                                                : doubles);
  }
}

int64_t impairs_entre(int64_t de, int64_t jusqua) {
  return racine(jusqua) - racine(de - 1) + racine(jusqua / 2) -
         racine((de - 1) / 2);
}

int64_t lignes_entre(int64_t de, int64_t jusqua, bool paires) {
  if (de > jusqua) return 0;
  return jusqua - de + 1 - (paires ? impairs_entre(de, jusqua) : 0);
}
