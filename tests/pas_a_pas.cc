// The design's routines, one step at a time, on the program-wide variables.

#include "pas_a_pas.h"

#include <cmath>

#include "arith/racine.h"
#include "diviseurs/calcul.h"
#include "state/state.h"

void suiv_pas_a_pas() {
  for (j = 1;;) {
    const int64_t candidat = Nprem[np] + 2 * i;
    const double r = std::sqrt(static_cast<double>(candidat));
    while (r >= static_cast<double>(Nprem[j]) && candidat % Nprem[j] != 0) ++j;
    if (r < static_cast<double>(Nprem[j])) break;
    ++i, j = 1;
  }
  ++np;
  Nprem.push_back(Nprem[np - 1] + 2 * i);
  i = 1;
}

namespace {

void decomp_pas_a_pas(void (*suivant)()) {
  nf = 0, k = 0, i = 1;
  if (S == 1) return;
  for (;;) {
    expo = 0;
    if (++k > 2 && k > np) suivant();
    const int64_t p = Nprem[k];
    f = 0, reste = S % p, rS = racine(S);
    if (rS < p) {
      ++nf, Nfact.push_back(S), Nexpo.push_back(1), S = 1;
      return;
    }
    if (reste != 0) continue;
    do {
      S /= p;
      if (++f == 1) ++nf, Nfact.push_back(p), Nexpo.push_back(0);
      Nexpo[nf] = ++expo;
      reste = S % p;
    } while (reste == 0);
    if (S == 1) return;
  }
}

}  // namespace

void calcul_pas_a_pas(void (*suivant)(), std::string& lignes) {
  SN = N, ND1 = 0;
  decomp_pas_a_pas(suivant);
  ND1 = 1;
  for (int32_t m = 1; m <= nf; ++m) ND1 *= Nexpo[m] + 1;
  Div.resize(Div.size() + static_cast<size_t>(ND1) + 4, 0);
  Prod.resize(Prod.size() + static_cast<size_t>(nf) + 4, 0);
  k = 1, Div[1] = 1;
  while (k < ND1) {
    suiv2();
    Diviseur = 1;
    for (int32_t m = 1; m <= nf; ++m)
      for (int64_t e = 0; e < Prod[m]; ++e) Diviseur *= Nfact[m];
    int64_t m = k - 1;
    for (; Div[m] > Diviseur; --m) Div[m + 1] = Div[m];
    Div[m + 1] = Diviseur;
  }
  Smax = 0;
  for (int64_t m = 1; m <= ND1; ++m) Smax += static_cast<u128>(Div[m]);
  if (parite == 0 || (parite == 2) == (Smax % 2 == 0)) {
    ++nN;
    lignes += "\n \n \t " + std::to_string(nN) + " \t -  :  \t " +
              std::to_string(SN) + "  a  " + std::to_string(ND1) +
              "  diviseurs  de somme  : " +
              std::to_string(static_cast<uint64_t>(Smax)) + " . ";
  }
  for (Table* t : {&Div, &Prod, &Nexpo, &Nfact}) t->resize(1);
}

std::string etat() {
  std::string t;
  auto ajouter = [&t](const char* nom, auto v) {
    t.append(nom).append("=").append(std::to_string(v)).append(" ");
  };
  ajouter("N", N), ajouter("Nmax", Nmax), ajouter("parite", parite);
  ajouter("nN", nN), ajouter("S", S), ajouter("np", np);
  ajouter("taille", Nprem.size()), ajouter("dernier", Nprem.back());
  ajouter("i", i), ajouter("j", j), ajouter("nf", nf), ajouter("k", k);
  ajouter("expo", expo), ajouter("f", f), ajouter("reste", reste);
  ajouter("rS", rS), ajouter("ND1", ND1), ajouter("Diviseur", Diviseur);
  ajouter("SN", SN), ajouter("Smax_bas", static_cast<uint64_t>(Smax));
  ajouter("Smax_haut", static_cast<uint64_t>(Smax >> 64));
  for (const Table* u : {&Nfact, &Nexpo, &Prod, &Div})
    ajouter("table", u->size() * 1000 + static_cast<size_t>(u->back()));
  return t;
}
