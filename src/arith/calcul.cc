// Divisors of N from its factors: an exponent odometer generates each one,
// they are put in increasing order, then the sum and the result line.

#include "arith/calcul.h"

#include <algorithm>
#include <cstring>

#include "arith/decomp.h"
#include "arith/tri.h"
#include "state/decimal.h"
#include "state/sortie.h"
#include "state/state.h"

namespace {

// Powers of the prime factors of N: puissances[debut[m] + e] is Nfact[m]^e
// for 0 <= e <= Nexpo[m]. For N < 2^63 there are at most 15 distinct primes
// and the exponents add up to at most 62, so 80 entries suffice.
uint64_t puissances[80];
int32_t debut[16];

// Fills puissances and debut from Nfact[1..nf] and Nexpo[1..nf]. Every power
// divides N, so none overflows.
void tabuler_puissances() {
  int32_t o = 0;
  for (int32_t m = 1; m <= nf; ++m) {
    const auto p = static_cast<uint64_t>(Nfact[static_cast<size_t>(m)]);
    debut[m] = o;
    uint64_t x = 1;
    puissances[o++] = 1;
    for (int64_t e = 0; e < Nexpo[static_cast<size_t>(m)]; ++e)
      puissances[o++] = x *= p;
  }
}

// The divisor for the odometer's current setting, rebuilt from scratch as an
// exact product of prime powers. Every partial product divides N.
int64_t produit(const int64_t* prod) {
  uint64_t d = 1;
  for (int32_t m = 1; m <= nf; ++m)
    d *= puissances[debut[m] + static_cast<int32_t>(prod[m])];
  return static_cast<int64_t>(d);
}

// The result line, with room for its longest form (about 150 bytes) made
// once.
void ecrire_ligne() {
  char* out = place(256);
  auto coller = [&out]<size_t n>(const char(&t)[n]) {
    std::memcpy(out, t, n - 1);
    out += n - 1;
  };
  coller("\n \n \t ");
  out = decimal::ecrire(out, static_cast<uint64_t>(nN));
  coller(" \t -  :  \t ");
  out = decimal::ecrire(out, static_cast<uint64_t>(SN));
  coller("  a  ");
  out = decimal::ecrire(out, static_cast<uint64_t>(ND1));
  coller("  diviseurs  de somme  : ");
  out = decimal::ecrire(out, Smax);
  coller(" . ");
  sortie_pos = out;
}

}  // namespace

int32_t suiv2() {
  int64_t p = nf;
  while (p > 0 && Prod[static_cast<size_t>(p)] == Nexpo[static_cast<size_t>(p)])
    --p;
  if (p == 0) return 1;  // every exponent at its maximum
  ++Prod[static_cast<size_t>(p)];
  for (int64_t q = p + 1; q <= nf; ++q) Prod[static_cast<size_t>(q)] = 0;
  ++k;
  return 1;
}

void diviseurs() {
  SN = N;
  ND1 = 0;
  decomp();
  ND1 = 1;
  for (int64_t m = 1; m <= nf; ++m) ND1 *= Nexpo[static_cast<size_t>(m)] + 1;

  Div.resize(Div.size() + static_cast<size_t>(ND1) + 4, 0);
  Prod.resize(Prod.size() + static_cast<size_t>(nf) + 4, 0);
  for (int64_t m = 0; m <= nf + 1; ++m) Prod[static_cast<size_t>(m)] = 0;
  tabuler_puissances();

  int64_t* div = Div.data();
  const int64_t* prod = Prod.data();
  k = 1;
  div[1] = 1;
  while (k < ND1) {
    suiv2();
    Diviseur = produit(prod);
    div[k] = Diviseur;
  }
  // Ordered once at the end rather than by inserting each divisor as it
  // comes: the same table, without a cost quadratic in ND1 (103680 divisors
  // would take a second).
  ordonner(div + 1, ND1);
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
