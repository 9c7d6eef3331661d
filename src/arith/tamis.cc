// Segmented sieve of Eratosthenes behind the prime table. A segment covers
// the odd numbers of (lo, lo + 2n) with lo even, and is sieved by the odd
// primes of the table; it never reaches the square of the table's last
// prime, so every composite in it has a prime factor in the table.

#include "arith/tamis.h"

#include <algorithm>
#include <vector>

#include "state/state.h"

namespace {

// Odd numbers per segment: 64 KiB of marks, the range of 2^17 integers.
constexpr int64_t kLongueur = int64_t{1} << 16;

std::vector<int64_t> bloc;  // primes of the last segment not handed out yet
size_t lu = 0;              // bloc[lu] is the next one to hand out
int64_t apres = 0;          // the prime handed out last (or the table's end)
int64_t fin_crible = 0;     // even; the odd numbers below it are sieved
std::vector<unsigned char> compose;

// Sieves the next segment, from fin_crible on, and puts its primes in bloc.
void cribler() {
  const int64_t lo = fin_crible;
  const auto dernier = static_cast<uint64_t>(Nprem[static_cast<size_t>(np)]);
  // dernier < 2^32, as the table never needs primes past the root of 2^63.
  const uint64_t carre = dernier * dernier;
  int64_t n = kLongueur;
  if (carre < static_cast<uint64_t>(lo + 2 * n))
    n = (static_cast<int64_t>(carre) - lo) / 2;  // odd numbers below carre
  compose.assign(static_cast<size_t>(n), 0);
  const int64_t hi = lo + 2 * n;  // the segment is (lo, hi)
  for (int64_t m = 2; m <= np; ++m) {
    const int64_t q = Nprem[static_cast<size_t>(m)];
    if (q > hi / q) break;  // q * q >= hi: q marks nothing here
    int64_t debut = std::max(q * q, (lo + 1 + q - 1) / q * q);
    if (debut % 2 == 0) debut += q;
    for (int64_t t = (debut - lo - 1) / 2; t < n; t += q)
      compose[static_cast<size_t>(t)] = 1;
  }
  bloc.clear();
  lu = 0;
  for (int64_t t = 0; t < n; ++t)
    if (compose[static_cast<size_t>(t)] == 0) bloc.push_back(lo + 1 + 2 * t);
  fin_crible = hi;
}

}  // namespace

// Between apres and fin_crible, the numbers not in bloc[lu..] are composite,
// so bloc[lu] (or the first prime of a later segment) is the smallest prime
// above apres: the very candidate a trial division of the odd numbers after
// apres would stop at first.
int64_t premier_suivant() {
  const int64_t dernier = Nprem[static_cast<size_t>(np)];
  if (dernier != apres) {
    bloc.clear();
    lu = 0;
    apres = dernier;
    fin_crible = dernier + 1;
  }
  // A segment may hold no prime only when it is short, near the start.
  while (lu == bloc.size()) cribler();
  apres = bloc[lu++];
  return apres;
}
