// The range and parity dialogue and the walk over N, which writes out its
// output every 100 ms and stops early at Ctrl-C.

#include "driver/calcul2.h"

#include <algorithm>
#include <deque>

#include "arith/decomp.h"
#include "arith/racine.h"
#include "commun/commutateurs.h"
#include "diviseurs/calcul.h"
#include "driver/liste.h"
#include "input/controle.h"
#include "plage/carres.h"
#include "plage/equipe.h"
#include "plage/portee.h"
#include "plage/segments.h"
#include "premiers/cribleurs.h"
#include "premiers/table_premiers.h"
#include "sortie/sortie.h"
#include "state/state.h"
#include "terminal/horloge.h"

namespace {

// Asks one bound of the range; the answer 0 is refused.
int64_t demander_borne(const char* question) {
  copier_message(question);
  xn = 1;
  controle(kEntier, message);
  xn = 0;
  return valeur0;
}

void ecrire_entete() {
  if (parite == 2)
    ecrire(
        " \n \n \t Les valeurs de N qui ont des sommes des diviseurs paires "
        "sont :   \n ");
  else if (parite == 1)
    ecrire(
        " \n \n \t Les valeurs de N qui ont des sommes des diviseurs impaires, "
        "sont :  \n ");
  else
    ecrire(
        " \n \n \t Liste des valeurs de N suivies des nombres de leurs "
        "diviseurs et des sommes de ceux-ci :  \n ");
}

// The primes sieved over the N up to fin, of a listing of `longueur` N:
// every prime up to the root of fin, where they are at most kCribleComplet
// and not too many for the listing (placing each in a slice costs a
// division); else the primes up to kCriblePartiel at most, and what they
// leave of an N past the square of the next prime is split one N at a time
// (or sieved by the streamed primes, when the slice is streamed).
constexpr int64_t kCribleComplet = int64_t{1} << 25;  // 2 million primes
constexpr int64_t kCriblePartiel = int64_t{1} << 20;
int64_t borne_du_crible(int64_t longueur, int64_t fin) {
  const int64_t r = racine(fin);
  const int64_t par_n = 64 * std::min(longueur, int64_t{1} << 40);
  if (r <= kCribleComplet && r <= par_n) return r;
  return std::min(r, std::clamp(par_n, int64_t{1} << 12, kCriblePartiel));
}

// A streamed slice sieves every prime up to the root of its last N, r,
// whatever its length: about r / 3 ns of work (the primes found anew and
// each one's first multiple placed), against 3 to 10 us per N for the split
// of what a partial sieve leaves (from 10^16 to 2^63). It pays from about
// r / 16384 N, and its slices go up to kFenetre N (4 bytes noted per N and
// large prime, 0.7 of those per N: 12 MiB).
constexpr int64_t kFenetre = int64_t{1} << 22;
constexpr int64_t kPetitsFlux = int64_t{1} << 16;  // stored primes below

// One slice of the listing: its last N, and how it is sieved.
struct Tranche {
  int64_t fin;
  int64_t borne;
  bool flux;
};

// The slice of the listing that starts at debut, its N up to Nmax: for the
// odd sums, about 2^15 squares and as many doubled squares; streamed where
// that pays, its N shared out evenly over slices of at most kFenetre N,
// except the listing's first slice, which is short so that lines come at
// once; else 2^16 to 2^21 N, more where the sieving primes are many, so
// that the division that places each prime in the slice is spread over more
// N; 2^12 N where what the sieve leaves is split N by N, so that a tick is
// answered in time.
Tranche tranche(int64_t debut, int64_t longueur, bool premiere) {
  if (parite == 1) {
    const int64_t r = racine(debut) + (int64_t{1} << 15);
    return {r > 3037000499 || r * r > Nmax ? Nmax : r * r, 0, false};
  }
  const int64_t apres = Nmax - debut;  // N after debut
  const int64_t r = racine(Nmax);
  if (r > kPetitsFlux && borne_du_crible(longueur, Nmax) < r &&
      apres >= r / 16384 && !premiere) {
    const int64_t parts = apres / kFenetre + 1;
    return {debut + apres / parts, kPetitsFlux, true};
  }
  constexpr int64_t kPetite = int64_t{1} << 16, kGrande = int64_t{1} << 21;
  const int64_t haut = debut + std::min(apres, kGrande);
  const int64_t rh = racine(haut);
  const int64_t borne = borne_du_crible(longueur, haut);
  const int64_t pas =
      borne < rh ? int64_t{1} << 12 : std::clamp(rh / 16, kPetite, kGrande);
  const int64_t fin = pas > apres ? Nmax : debut + pas;
  return {fin, borne_du_crible(longueur, fin - 1), false};
}

constexpr int64_t kLimiteTable = int64_t{1} << 53;

// Above 2^53 the walk leaves expo, f, reste and rS as the last N at or below
// 2^53 set them: that N is factorised here, when the slice holds it.
void garder_le_dernier_essai() {
  S = kLimiteTable;
  decomp();
  couper();
}

// Between two segments of a slice: a tick or Ctrl-C is answered, the
// status line showing the N reached.
bool continuer(int64_t atteint) {
  if (evenement == 0) return true;
  N = atteint;
  return faire_le_point();
}

// The lines of the N from premier to n whose sum has the parity (0 or 2).
int64_t lignes_jusqua(int64_t premier, int64_t n) {
  return n - premier + 1 - (parite == 2 ? impairs_entre(premier, n) : 0);
}

// A slice's last N through calcul, as the walk leaves it; `avant` is the N
// before the slice.
void finir_tranche(int64_t avant, int64_t fin) {
  if (fin > kLimiteTable && avant < kLimiteTable) garder_le_dernier_essai();
  N = fin;
  S = N;
  calcul();
}

// The listing by slices on `fils` worker threads: the slices are handed
// over ahead (two at least, and as many as hold fils * 2^19 N), and their
// lines written as they come back, in order; the main thread keeps the
// program-wide variables, running calcul on each slice's last N. Ctrl-C
// ends the listing after the last block of lines written, through calcul
// on the N after it; what the workers had done past it is dropped.
void lister_en_equipe(int fils) {
  const int64_t premier = N + 1, longueur = Nmax - N, rang_depart = nN;
  // Every sieving prime of the listing found first (a slice's stored bound
  // is at most the listing's; a streamed one needs the primes up to the
  // root of its root): the workers read the table, which must not move
  // under them.
  cribleurs_jusqua(std::max({borne_du_crible(longueur, Nmax), kPetitsFlux,
                             racine(racine(Nmax))}) +
                   1);
  equipe_debut(fils);
  std::deque<int64_t> fins;  // the last N of each slice handed over
  int64_t confie = N, ecrit = N, avant = N;
  Bloc bloc;
  for (;;) {
    while (confie < Nmax &&
           (fins.size() < 2 || equipe_en_cours() < fils * (int64_t{1} << 19))) {
      const Tranche t = tranche(confie + 1, longueur, confie == N);
      Crible c;
      c.debut = confie + 1;
      c.fin = confie;
      if (t.fin > confie + 1)
        c = preparer_crible(confie + 1, t.fin - 1, t.borne, t.flux,
                            parite == 2);
      equipe_confier(c, rang_depart + lignes_jusqua(premier, confie));
      fins.push_back(confie = t.fin);
    }
    if (fins.empty()) break;
    if (equipe_recevoir(bloc, 10)) {
      if (bloc.fin_de_tranche) {
        finir_tranche(avant, fins.front());
        avant = ecrit = fins.front();
        fins.pop_front();
        if (evenement != 0 && !faire_le_point()) break;
        continue;
      }
      ecrire_bloc(bloc.octets.get(), bloc.taille);
      nN = bloc.rang;
      ecrit = bloc.dernier;
      equipe_rendre(bloc);
    }
    if (evenement == 0) continue;
    N = ecrit;
    if (!faire_le_point()) {
      finir_tranche(avant, ecrit + 1);
      break;
    }
  }
  equipe_fin();
}

}  // namespace

// The N of a slice but its last are listed at once, its last N goes through
// calcul, and a tick or Ctrl-C is looked at between two segments and two
// slices. A slice that Ctrl-C stops ends, through calcul too, at the N
// after the last one it listed. Then the prime table grows as far as the
// walk over every N would have grown it.
void lister_par_tranches() {
  const int64_t premier = N + 1, longueur = Nmax - N;
  // Room for every prime the walk over these N may add to the table, made
  // at once: growing it in steps would copy it, and hold two copies.
  reserver_premiers(racine(std::min(Nmax, kLimiteTable)) + 1);
  // The odd sums are few and quick to list, and so are the listings below
  // 64 times the walk's threshold (2^18 N up to 2^40, 2^13 above): starting
  // threads and their memory costs more than they bring there. One thread.
  const int64_t seuil =
      Nmax > int64_t{1} << 40 ? seuil_plage / 32 : seuil_plage;
  const int fils = parite == 1 || longueur / 64 < seuil ? 1 : fils_voulus();
  if (fils > 1) lister_en_equipe(fils);
  while (N < Nmax && fils == 1) {
    const int64_t avant = N;
    const Tranche t = tranche(N + 1, longueur, N + 1 == premier);
    int64_t fin = t.fin;
    if (fin > N + 1) {
      if (parite == 1)
        lister_impairs(N + 1, fin - 1);
      else
        fin = lister_crible(N + 1, fin - 1, t.borne, t.flux, continuer) + 1;
    }
    const bool arrete = fin < t.fin;
    finir_tranche(avant, fin);
    if (arrete || (evenement != 0 && !faire_le_point())) break;
  }
  etendre_a_la_portee(premier, N);
}

void calcul2() {
  nN = 0;
  N = demander_borne("\n \n \n  \t Valeur de N minimale ? ");
  Nmax = 0;
  // Asked at least once, and again while the maximum is below the minimum.
  while (Nmax < N) Nmax = demander_borne("\n \n \t Valeur de N maximale ? ");
  N = N - 1;

  copier_message(
      " \n \n \n \t  Parite de la somme des diviseurs de N,  Paire [2] / "
      "Impaire [1] /  Quelconque [0] ? :  ");
  controle(kTroisChoix, message);
  parite = valeur2;
  ecrire_entete();

  // N < Nmax before each increment, so N never passes 2^63 - 1. A tick or
  // Ctrl-C is looked at once per N, through a single flag.
  debut_liste(N + 1, Nmax);
  // Each N costs the walk more above 2^40 (10 us at 10^18 against 0.5 at
  // 10^6): there the range method starts at an eighth of the length.
  const int64_t seuil = Nmax > int64_t{1} << 40 ? seuil_plage / 8 : seuil_plage;
  if (Nmax - N > seuil) {
    lister_par_tranches();
  } else {
    while (N < Nmax) {
      ++N;
      S = N;
      calcul();
      if (evenement != 0 && !faire_le_point()) break;
    }
  }
  fin_liste();
}
