// Growth of the prime table, fed by the segmented sieve, and the inverses of
// its primes, kept beside it only as far as the trial division walks.

#include "arith/table_premiers.h"

#include <algorithm>
#include <cmath>

#include "arith/inverse.h"
#include "arith/tamis.h"
#include "state/state.h"

void caler_inverses(int64_t jusqua) {
  if (Ninv.size() > Nprem.size()) Ninv.resize(Nprem.size());
  const size_t fin = std::min(Nprem.size(), static_cast<size_t>(jusqua) + 1);
  while (Ninv.size() < fin) {
    const auto p = static_cast<uint64_t>(Nprem[Ninv.size()]);
    Ninv.push_back(p % 2 == 1 ? inverse(p) : 0);
  }
}

// pi(x) < 1.25506 x / ln x for x > 1 (Rosser and Schoenfeld, 1962).
void reserver_premiers(int64_t x) {
  if (x < 3) return;
  const double borne =
      1.25506 * static_cast<double>(x) / std::log(static_cast<double>(x));
  const auto place = static_cast<size_t>(borne) + 8;
  if (Nprem.capacity() < place) Nprem.reserve(place);
}

namespace {

// Doubles the room of Nprem when it is full, out of Suiv's common path.
[[gnu::noinline]] void agrandir() { Nprem.reserve(2 * Nprem.size() + 8); }

}  // namespace

// The trial division of the odd numbers after Nprem[np] by the primes of the
// table stops at the first of them with no prime factor up to its root: the
// smallest prime above Nprem[np], which is what the sieve hands out. The
// sieve needs no step counter, so i stays at 1 and j at its first value.
int32_t Suiv() {
  j = 1;
  const int64_t p = premier_suivant();
  ++np;
  if (Nprem.size() == Nprem.capacity()) [[unlikely]]
    agrandir();
  // Room is made above: this lets the compiler leave out push_back's own
  // copy to a larger block, which would cost every call its registers.
  if (Nprem.size() == Nprem.capacity()) __builtin_unreachable();
  Nprem.push_back(p);
  i = 1;
  return 1;
}
