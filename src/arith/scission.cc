// A rest below (p + 1)^2, p the walk's last prime, is prime with no test; a
// larger one is split by rho until every piece passes the Miller-Rabin
// test, a square at once by its root.

#include "arith/scission.h"

#include <algorithm>

#include "arith/primalite.h"
#include "arith/racine.h"
#include "arith/rho.h"

namespace {

// Appends to premiers[t..] the prime factors of n (above 1, below 2^63,
// odd), with repetition; returns the new count.
size_t decouper(uint64_t n, uint64_t* premiers, size_t t) {
  if (est_premier(n)) {
    premiers[t] = n;
    return t + 1;
  }
  // A square is split at once; rho would find its root too, but more slowly.
  const auto r = static_cast<uint64_t>(racine(static_cast<int64_t>(n)));
  const uint64_t d = r * r == n ? r : rho(n);
  return decouper(n / d, premiers, decouper(d, premiers, t));
}

// Records premiers[0..taille), sorted and grouped with their exponents.
void grouper(uint64_t* premiers, size_t taille, Facteurs& trouves) {
  std::sort(premiers, premiers + taille);
  for (size_t u = 0; u < taille;) {
    size_t v = u;
    while (v < taille && premiers[v] == premiers[u]) ++v;
    noter(trouves, premiers[u], static_cast<int32_t>(v - u));
    u = v;
  }
}

}  // namespace

void scinder_reste(uint64_t c, uint64_t borne, Facteurs& trouves) {
  if (c / (borne + 1) < borne + 1) {
    noter(trouves, c, 1);
    return;
  }
  uint64_t premiers[64];
  grouper(premiers, decouper(c, premiers, 0), trouves);
}

void scinder_connu(uint64_t c, uint64_t d, Facteurs& trouves) {
  uint64_t premiers[64];
  grouper(premiers, decouper(c / d, premiers, decouper(d, premiers, 0)),
          trouves);
}
