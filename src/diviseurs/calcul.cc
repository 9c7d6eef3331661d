// Divisors of N from its factors, built in increasing order and summed, then
// the parity test and the result line; and the exponent odometer suiv2.

#include "diviseurs/calcul.h"

#include <bit>
#include <cstring>

#include "arith/decomp.h"
#include "diviseurs/liste_diviseurs.h"
#include "diviseurs/sommes.h"
#include "sortie/ligne.h"
#include "state/state.h"

void ecrire_ligne() { ecrire_resultat(nN, SN, ND1, Smax); }

namespace {

// Smax = somme, written as two 64-bit halves. A 128-bit value that comes
// back in two registers would otherwise be stored to the stack in halves
// and read back whole, which the processor cannot forward: a stall per N.
inline void ecrire_somme(u128 somme) {
  const auto bas = static_cast<uint64_t>(somme);
  const auto haut = static_cast<uint64_t>(somme >> 64);
  const bool petit_bout = std::endian::native == std::endian::little;
  auto* octets = reinterpret_cast<unsigned char*>(&Smax);
  std::memcpy(octets + (petit_bout ? 0 : 8), &bas, 8);
  std::memcpy(octets + (petit_bout ? 8 : 0), &haut, 8);
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
  // The merges make every divisor in its place: the odometer Prod is not
  // stepped, and k counts the divisors placed.
  ecrire_somme(diviseurs_croissants(Div.data() + 1));
  k = ND1;
  // The last divisor placed is N; N = 1 places none past the first.
  if (ND1 > 1) Diviseur = Div[static_cast<size_t>(ND1)];
}

bool qualifie() { return a_la_parite(Smax, parite); }

void couper() {
  Div.resize(1);
  Prod.resize(1);
  Nexpo.resize(1);
  Nfact.resize(1);
}

void calcul() {
  diviseurs();
  if (qualifie()) {
    ++nN;
    ecrire_ligne();
  }
  couper();
}
