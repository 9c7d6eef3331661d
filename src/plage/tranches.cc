// The slices of a long listing: planned in turn from the range's start,
// listed on this thread or handed to the workers, and the listing ended
// once, at its last N or where it was stopped, through calcul.

#include "plage/tranches.h"

#include <algorithm>
#include <deque>

#include "arith/decomp.h"
#include "arith/racine.h"
#include "plage/carres.h"
#include "plage/equipe.h"
#include "plage/fin_de_liste.h"
#include "plage/segments.h"
#include "plage/seuils.h"
#include "premiers/cribleurs.h"
#include "premiers/table_premiers.h"
#include "sortie/sortie.h"
#include "state/state.h"

namespace {

// The bounds of borne_du_crible: every prime up to the root, or up to a
// partial bound.
constexpr int64_t kCribleComplet = int64_t{1} << 25;  // 2 million primes
constexpr int64_t kCriblePartiel = int64_t{1} << 20;
// A segment keeps each sieving prime's next multiple, and each streamed
// prime, in 32 bits (Poste::prochain, Notes): the stored ones go up to
// kCribleComplet, the streamed ones to the root of 2^63 - 1, 3037000499.
static_assert(kCribleComplet < int64_t{1} << 32 &&
              kCriblePartiel <= kCribleComplet);

// A streamed slice sieves every prime up to the root of its last N, r,
// whatever its length: about r / 3 ns of work (the primes found anew and
// each one's first multiple placed), against 3 to 10 us per N for the split
// of what a partial sieve leaves (from 10^16 to 2^63). It pays from about
// r / 16384 N, and its slices go up to kFenetre N.
constexpr int64_t kPetitsFlux = int64_t{1} << 16;  // stored primes below

}  // namespace

int64_t borne_du_crible(int64_t longueur, int64_t fin) {
  const int64_t r = racine(fin);
  const int64_t par_n = 64 * std::min(longueur, int64_t{1} << 40);
  if (r <= kCribleComplet && r <= par_n) return r;
  return std::min(r, std::clamp(par_n, int64_t{1} << 12, kCriblePartiel));
}

// Every prime up to the root where the listing's first N already allows it
// (the root grows with the slices, up to kCribleComplet and 64 per N), else
// the partial bound.
int64_t borne_de_la_liste(int64_t premier, int64_t nmax) {
  const int64_t longueur = nmax - premier + 1;
  const int64_t par_n = 64 * std::min(longueur, int64_t{1} << 40);
  const int64_t complet = std::min(kCribleComplet, par_n);
  const int64_t partiel = std::min(
      racine(nmax), std::clamp(par_n, int64_t{1} << 12, kCriblePartiel));
  return racine(premier) <= complet
             ? std::max(std::min(racine(nmax), complet), partiel)
             : partiel;
}

// The slice of the listing that starts at debut, its N up to Nmax (the
// listing's last N is left to calcul): for the odd sums, about 2^15 squares
// and as many doubled squares; streamed where
// that pays, its N shared out evenly over slices of at most kFenetre N,
// except the listing's first slice, which is short so that lines come at
// once; else 2^16 to 2^21 N, more where the sieving primes are many, so
// that the division that places each prime in the slice is spread over more
// N; 2^12 N where what the sieve leaves is split N by N, so that a tick is
// answered in time.
PlanDeTranche planifier(int64_t debut, int64_t longueur, bool premiere) {
  if (parite == 1) {
    const int64_t r = racine(debut) + (int64_t{1} << 15);
    return {r > 3037000499 || r * r > Nmax ? Nmax : r * r - 1, 0, false};
  }
  const int64_t apres = Nmax - debut;  // N after debut
  const int64_t r = racine(Nmax);
  if (r > kPetitsFlux && borne_du_crible(longueur, Nmax) < r &&
      apres >= r / 16384 && !premiere) {
    const int64_t parts = apres / kFenetre + 1;
    return {debut + apres / parts - 1, kPetitsFlux, true};
  }
  constexpr int64_t kPetite = int64_t{1} << 16, kGrande = int64_t{1} << 21;
  const int64_t haut = debut + std::min(apres, kGrande);
  const int64_t rh = racine(haut);
  const int64_t borne = borne_du_crible(longueur, haut);
  const int64_t pas =
      borne < rh ? int64_t{1} << 12 : std::clamp(rh / 16, kPetite, kGrande);
  const int64_t fin = pas > apres ? Nmax : debut + pas - 1;
  return {fin, borne_du_crible(longueur, std::min(fin, Nmax - 1)), false};
}

namespace {

// The N from premier to Nmax - 1 on this thread, a slice at a time; Nmax is
// left to calcul. Returns the last N whose line is written.
int64_t lister_seul(int64_t premier, Continuer continuer) {
  const int64_t longueur = Nmax - premier + 1;
  int64_t ecrit = premier - 1;
  while (ecrit < Nmax - 1) {
    const PlanDeTranche plan =
        planifier(ecrit + 1, longueur, ecrit + 1 == premier);
    const int64_t fin = std::min(plan.fin, Nmax - 1);
    if (parite == 1) {
      lister_impairs(ecrit + 1, fin);
      ecrit = fin;
    } else {
      ecrit = lister_crible(ecrit + 1, fin, plan.borne, plan.flux, continuer);
      if (ecrit < fin) break;  // stopped within the slice
    }
    if (!continuer(ecrit)) break;
  }
  return ecrit;
}

// The same N on `fils` worker threads: the slices are handed over ahead
// (two at least, and as many as hold fils * 2^19 N, 2^23 at most: a
// streamed slice's notes take 3 bytes per N), and their lines written as
// they come back, in order; the main thread keeps the program-wide
// variables. Ctrl-C ends the listing after the last packet of lines
// written; what the workers had done past it is dropped.
int64_t lister_en_equipe(int64_t premier, int fils, Continuer continuer) {
  const int64_t longueur = Nmax - premier + 1, rang_depart = nN;
  // Every sieving prime of the listing found first, once: the workers read
  // the table, which stays as it is while they run (a slice's stored bound
  // is at most the listing's; a streamed one needs the primes up to the
  // root of its root).
  cribleurs_jusqua(std::max({borne_de_la_liste(premier, Nmax), kPetitsFlux,
                             racine(racine(Nmax))}) +
                   1);
  equipe_debut(fils);
  std::deque<int64_t> fins;  // the last N of each slice handed over
  // The last N handed over, and the last whose line is written.
  int64_t confie = premier - 1;
  int64_t ecrit = confie;
  Paquet paquet;
  for (;;) {
    while (confie < Nmax - 1 &&
           (fins.size() < 2 ||
            equipe_en_cours() < std::min(fils, 16) * (int64_t{1} << 19))) {
      const PlanDeTranche plan =
          planifier(confie + 1, longueur, confie + 1 == premier);
      const int64_t fin = std::min(plan.fin, Nmax - 1);
      equipe_confier(
          preparer_crible(confie + 1, fin, plan.borne, plan.flux, parite == 2),
          rang_depart + lignes_entre(premier, confie, parite == 2));
      fins.push_back(confie = fin);
    }
    if (fins.empty()) break;
    if (equipe_recevoir(paquet, 10)) {
      if (paquet.fin_de_tranche) {
        ecrit = fins.front();
        fins.pop_front();
      } else {
        ecrire_sur_place(paquet.octets.get(), paquet.taille);
        nN = paquet.rang;
        ecrit = paquet.dernier;
        equipe_rendre(paquet);
      }
    }
    if (!continuer(ecrit)) break;
  }
  equipe_fin();
  return ecrit;
}

}  // namespace

void lister_par_tranches(Continuer continuer) {
  const int64_t premier = N + 1, longueur = Nmax - N;
  // Room for every prime the walk over these N may add to the table, made
  // at once: growing it in steps would copy it, and hold two copies.
  reserver_premiers(racine(std::min(Nmax, kLimiteTable)) + 1);
  // The odd sums are few and quick to list, and so are the short listings:
  // one thread. So are the listings sieved by more primes than they have N
  // (1e6 N from 1e15: 1.9 million primes): each thread's part places every
  // one of them, which took longer than the part's share of the sieve
  // saved (133 ms on two threads against 111 on one).
  const int64_t r = racine(Nmax);
  const bool places = r <= kCribleComplet && r / 16 > longueur;
  const int fils = parite == 1 || longueur < seuil_des_fils(Nmax) || places
                       ? 1
                       : fils_voulus();
  const int64_t ecrit = fils > 1 ? lister_en_equipe(premier, fils, continuer)
                                 : lister_seul(premier, continuer);
  finir_la_liste(premier, ecrit + 1);
}
