// The sieving primes, found by the same segmented sieve as the prime table's
// and kept for the next range.

#include "premiers/cribleurs.h"

#include "commun/verifier.h"
#include "premiers/table_premiers.h"
#include "premiers/tamis.h"

namespace {

Table cribleurs = kGraine;
bool fige = false;  // threads read the table: it stays as it is

}  // namespace

const Table& cribleurs_jusqua(int64_t x) {
  if (cribleurs.back() < x) {
    VERIFIER(!fige);
    prolonger(cribleurs, x);
  }
  return cribleurs;
}

void figer_cribleurs(bool oui) { fige = oui; }
