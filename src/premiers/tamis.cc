// Segmented sieve of Eratosthenes behind the prime table. A segment covers
// the odd numbers of (lo, lo + 2n) with lo even, one byte each; it starts as
// a copy of a pattern where the multiples of 3 to 13 are already marked, is
// sieved by the odd primes of the table from 17 on, and never reaches the
// square of the table's last prime, so every composite in it is marked.

#include "premiers/tamis.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "premiers/marques.h"
#include "state/state.h"

namespace {

// Odd numbers per segment: 32 KiB of marks, which stay in the L1 cache.
constexpr int64_t kLongueur = int64_t{1} << 15;

unsigned char compose[kLongueur + 64];  // the segment, and a tail of marks

// One sieve's progress past the end of its table: the primes of its last
// segment, and where each sieving prime marks next.
struct Tamis {
  int64_t bloc[kLongueur];  // primes of the last segment: bloc[0..taille)
  int64_t taille = 0;
  int64_t lu = 0;          // bloc[lu] is the next one to hand out
  int64_t apres = 0;       // the prime handed out last (or the table's end)
  int64_t fin_crible = 0;  // even; the odd numbers below it are sieved
  // For the sieving primes t[kPremierCrible ..], in order, two each: the
  // index t (the odd number 2t + 1) of the next two multiples each marks.
  std::vector<int64_t> prochain;
};
Tamis crible_nprem, crible_propre;

// Puts the primes of the n marks after lo in bloc: sixty-four marks per
// mask, a bit for each unmarked byte (a prime), read off lowest first, so
// the loop over the bits ends once per 64 numbers.
void extraire(Tamis& cr, int64_t lo, int64_t n) {
  std::memset(compose + n, 1, 64);
  int64_t* sortie = cr.bloc;
  for (int64_t t = 0; t < n; t += 64)
    for (uint64_t x = premiers_de_64(compose + t); x != 0; x &= x - 1)
      *sortie++ = lo + 1 + 2 * (t + std::countr_zero(x));
  cr.taille = sortie - cr.bloc;
  cr.lu = 0;
}

// Sieves the next segment, from fin_crible on, with the primes t[1..n], and
// puts its primes in bloc. Writes compose and the sieve's state.
void cribler(Tamis& cr, const int64_t* t, int64_t n_premiers) {
  const int64_t lo = cr.fin_crible;
  const auto dernier = static_cast<uint64_t>(t[n_premiers]);
  // dernier < 2^32, as the table never needs primes past the root of 2^63.
  const uint64_t carre = dernier * dernier;
  int64_t n = kLongueur;
  if (carre < static_cast<uint64_t>(lo + 2 * n))
    n = (static_cast<int64_t>(carre) - lo) / 2;  // odd numbers below carre
  const int64_t hi = lo + 2 * n;                 // the segment is (lo, hi)
  copier_motif(compose, lo, n);
  prendre_cribleurs(cr.prochain, t, n_premiers, lo, hi);
  marquer(compose, cr.prochain, t, lo / 2, n);
  extraire(cr, lo, n);
  cr.fin_crible = hi;
}

// Makes bloc[lu] the smallest prime above t[n], the table's last prime:
// starts the sieve again after it when the table no longer ends where the
// sieve left it, then sieves until a segment holds a prime.
void rattraper(Tamis& cr, const int64_t* t, int64_t n) {
  if (t[n] != cr.apres) {
    cr.taille = cr.lu = 0;
    cr.prochain.clear();
    cr.apres = t[n];
    cr.fin_crible = t[n] + 1;
  }
  // A segment may hold no prime only when it is short, near the start.
  while (cr.lu == cr.taille) cribler(cr, t, n);
}

[[gnu::noinline]] int64_t premier_suivant_lent() {
  rattraper(crible_nprem, Nprem.data(), np);
  return crible_nprem.apres = crible_nprem.bloc[crible_nprem.lu++];
}

// Appends to the table t (n primes, room made by the caller through
// `agrandir`) the primes up to the first one at least borne, whole runs of
// a segment at a time. Returns the new count.
template <class Agrandir>
int64_t ajouter(Tamis& cr, Table& t, int64_t n, int64_t borne,
                Agrandir agrandir) {
  while (t[static_cast<size_t>(n)] < borne) {
    rattraper(cr, t.data(), n);
    // The run of bloc up to the first prime at least borne, included.
    int64_t* debut = cr.bloc + cr.lu;
    int64_t* fin = std::lower_bound(debut, cr.bloc + cr.taille, borne);
    if (fin != cr.bloc + cr.taille) ++fin;
    const auto nombre = static_cast<size_t>(fin - debut);
    agrandir(t.size() + nombre);
    t.insert(t.end(), debut, fin);
    n += static_cast<int64_t>(nombre);
    cr.lu += static_cast<int64_t>(nombre);
    cr.apres = t.back();
  }
  return n;
}

}  // namespace

// Between apres and fin_crible, the numbers not in bloc[lu..] are composite,
// so bloc[lu] (or the first prime of a later segment) is the smallest prime
// above apres: the very candidate a trial division of the odd numbers after
// apres would stop at first.
int64_t premier_suivant() {
  Tamis& cr = crible_nprem;
  if (Nprem[static_cast<size_t>(np)] == cr.apres && cr.lu < cr.taille)
      [[likely]]
    return cr.apres = cr.bloc[cr.lu++];
  return premier_suivant_lent();
}

void prolonger_nprem(int64_t borne) {
  np = ajouter(crible_nprem, Nprem, np, borne, [](size_t) {});
}

void prolonger(Table& premiers, int64_t borne) {
  const auto n = static_cast<int64_t>(premiers.size()) - 1;
  ajouter(crible_propre, premiers, n, borne, [&premiers](size_t place) {
    if (premiers.capacity() < place)
      premiers.reserve(std::max(place, premiers.capacity() + (place >> 1)));
  });
}
