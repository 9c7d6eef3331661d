// The sieving primes, found by the same segmented sieve as the prime table's
// and kept for the next range.

#include "premiers/cribleurs.h"

#include "premiers/table_premiers.h"
#include "premiers/tamis.h"

namespace {

Table cribleurs = kGraine;

}  // namespace

const Table& cribleurs_jusqua(int64_t x) {
  if (cribleurs.back() < x) prolonger(cribleurs, x);
  return cribleurs;
}
