// Divisors of N from its factors: an exponent odometer generates each one,
// they are put in increasing order, then the sum and the result line.

#include "arith/calcul.h"

#include <algorithm>

#include "arith/decomp.h"
#include "state/sortie.h"
#include "state/state.h"

namespace {

// The divisor for the odometer's current setting, as an exact product of
// prime powers. Every partial product divides N, so none overflows.
int64_t produit() {
  int64_t d = 1;
  for (int64_t m = 1; m <= nf; ++m)
    for (int64_t e = 0; e < Prod[m]; ++e) d *= Nfact[m];
  return d;
}

void ecrire_ligne() {
  ecrire("\n \n \t ");
  ecrire_nombre(nN);
  ecrire(" \t -  :  \t ");
  ecrire_nombre(SN);
  ecrire("  a  ");
  ecrire_nombre(ND1);
  ecrire("  diviseurs  de somme  : ");
  ecrire_nombre(Smax);
  ecrire(" . ");
}

}  // namespace

int32_t suiv2() {
  int64_t p = nf;
  while (p > 0 && Prod[p] == Nexpo[p]) --p;
  if (p == 0) return 1;  // every exponent at its maximum
  ++Prod[p];
  for (int64_t q = p + 1; q <= nf; ++q) Prod[q] = 0;
  ++k;
  return 1;
}

void diviseurs() {
  SN = N;
  ND1 = 0;
  decomp();
  ND1 = 1;
  for (int64_t m = 1; m <= nf; ++m) ND1 *= Nexpo[m] + 1;

  Div.resize(Div.size() + static_cast<size_t>(ND1) + 4, 0);
  Prod.resize(Prod.size() + static_cast<size_t>(nf) + 4, 0);
  for (int64_t m = 0; m <= nf + 1; ++m) Prod[m] = 0;

  k = 1;
  Div[1] = 1;
  while (k < ND1) {
    suiv2();
    Diviseur = produit();
    Div[k] = Diviseur;
  }
  // Ordered once at the end rather than by inserting each divisor as it
  // comes: the same table, without a cost quadratic in ND1 (103680 divisors
  // would take a second).
  std::sort(Div.begin() + 1, Div.begin() + 1 + ND1);
}

void sommer() {
  Smax = 0;
  for (int64_t m = 1; m <= ND1; ++m) Smax += static_cast<u128>(Div[m]);
}

bool qualifie() {
  if (parite == 2) return (Smax & 1) == 0;
  if (parite == 1) return Smax % 2 == 1;
  return true;
}

void couper() {
  Div.resize(1);
  Prod.resize(1);
  Nexpo.resize(1);
  Nfact.resize(1);
}

void calcul() {
  diviseurs();
  sommer();
  if (qualifie()) {
    ++nN;
    ecrire_ligne();
  }
  couper();
}
