// The reach of one N from its factors, and the search for the farthest
// reach of a range, from its last N down.

#include "plage/portee.h"

#include <algorithm>

#include "arith/decomp.h"
#include "arith/facteurs.h"
#include "arith/racine.h"
#include "premiers/table_premiers.h"
#include "state/state.h"

namespace {

constexpr int64_t kLimiteTable = int64_t{1} << 53;

}  // namespace

// Trial division divides out every factor below P, then P itself when its
// exponent is 2 or more (what is left is P^e >= P^2 until then); with the
// exponent 1 it stops at the first prime p after Q with p^2 > P.
uint64_t premier_de_portee(uint64_t n) {
  Facteurs trouves;
  factoriser(n, trouves);
  if (trouves.nombre == 0) return 0;
  const int32_t t = trouves.nombre - 1;
  const uint64_t p = trouves.premier[t];
  if (trouves.exposant[t] >= 2) return p;
  const uint64_t q = t > 0 ? trouves.premier[t - 1] : 0;
  const auto r = static_cast<uint64_t>(racine(static_cast<int64_t>(p)));
  const int64_t m = premier_au_dela(static_cast<int64_t>(std::max(q, r)));
  return static_cast<uint64_t>(Nprem[static_cast<size_t>(m)]);
}

// Every reach of an N is a prime at most the first prime above its root:
// once the best reach b so far has b^2 > n, no N at or below n passes b.
// A range inside a prime gap may be searched whole.
void etendre_a_la_portee(int64_t debut, int64_t fin) {
  uint64_t b = 0;
  for (int64_t n = std::min(fin, kLimiteTable);
       n >= std::max(debut, int64_t{2}); --n) {
    if (b * b > static_cast<uint64_t>(n)) break;
    b = std::max(b, premier_de_portee(static_cast<uint64_t>(n)));
  }
  if (b > 0) etendre_jusqua(static_cast<int64_t>(b));
}
