// What the walk over every N leaves that the range method must put back:
// the working variables of the last N at or below 2^53, the last N's own,
// and the prime table grown as far as the farthest N of the range reached.

#include "plage/fin_de_liste.h"

#include <algorithm>

#include "arith/decomp.h"
#include "arith/facteurs.h"
#include "diviseurs/calcul.h"
#include "premiers/table_premiers.h"
#include "state/state.h"

namespace {

// The prime at which trial division by the table's primes stops for n (2 <=
// n <= 2^53), the table grown to it.
uint64_t premier_de_portee(uint64_t n) {
  Facteurs trouves;
  factoriser(n, trouves);
  return static_cast<uint64_t>(
      Nprem[static_cast<size_t>(indice_de_portee(trouves))]);
}

// Grows Nprem to the farthest reach among the N from debut to fin, those up
// to 2^53: above it the walk leaves the table alone. Every reach of an N is
// a prime at most the first prime above its root: once the best reach b so
// far has b^2 > n, no N at or below n passes b. A range inside a prime gap
// may be searched whole.
void etendre_a_la_portee(int64_t debut, int64_t fin) {
  uint64_t b = 0;
  for (int64_t n = std::min(fin, kLimiteTable);
       n >= std::max(debut, int64_t{2}); --n) {
    if (b * b > static_cast<uint64_t>(n)) break;
    b = std::max(b, premier_de_portee(static_cast<uint64_t>(n)));
  }
  if (b > 0) etendre_jusqua(static_cast<int64_t>(b));
}

}  // namespace

// Above 2^53 the walk leaves expo, f, reste and rS as the last N at or
// below 2^53 set them: when the range passes 2^53, 2^53 is factorised
// first. calcul on dernier then sets everything else, and the table grows
// after it, as it only ever grows.
void finir_la_liste(int64_t premier, int64_t dernier) {
  if (premier <= kLimiteTable && dernier > kLimiteTable) {
    S = kLimiteTable;
    decomp();
    couper();
  }
  N = dernier;
  S = N;
  calcul();
  etendre_a_la_portee(premier, dernier);
}
