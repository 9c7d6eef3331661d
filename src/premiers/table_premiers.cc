// Growth of the prime table, fed by the segmented sieve, its memory mapped a
// block ahead.

#include "premiers/table_premiers.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>

#include "premiers/tamis.h"
#include "state/state.h"

namespace {

// Entries of Nprem below index seuil lie in memory already mapped; at
// seuil, Suiv maps the next block. A block reallocated elsewhere is only
// slower to fill: Suiv checks Nprem's room on its own as well.
size_t seuil = 0;

}  // namespace

// pi(x) < 1.25506 x / ln x for x > 1 (Rosser and Schoenfeld, 1962). The
// room at least doubles: a listing raises x a little at each new prime it
// needs, and room made to the exact bound each time would copy the table
// once per prime.
void reserver_premiers(int64_t x) {
  if (x < 3) return;
  const double borne =
      1.25506 * static_cast<double>(x) / std::log(static_cast<double>(x));
  const auto place = static_cast<size_t>(borne) + 8;
  if (Nprem.capacity() < place) {
    Nprem.reserve(std::max(place, 2 * Nprem.capacity()));
    seuil = 0;  // a new block: nothing of it is mapped yet
  }
}

namespace {

// Entries of the table mapped per call (512 KiB): one system call in place
// of 128 page faults, and the block stays in the cache until it is filled.
constexpr size_t kMorceau = size_t{1} << 16;

// Has the kernel map the entries of Nprem from its end up to index jusqua
// at once (a kernel without that call leaves them to page faults).
void agrandir_vers(size_t jusqua) {
  constexpr uintptr_t kPage = 4096;
  // The whole pages between the first free entry and jusqua.
  auto* debut = reinterpret_cast<char*>(Nprem.data() + Nprem.size());
  const auto bas = reinterpret_cast<uintptr_t>(debut);
  const auto haut = reinterpret_cast<uintptr_t>(Nprem.data() + jusqua);
  const uintptr_t avance = (kPage - bas % kPage) % kPage,
                  fin = haut - haut % kPage;
#ifdef MADV_POPULATE_WRITE
  if (bas + avance < fin)
    madvise(debut + avance, fin - bas - avance, MADV_POPULATE_WRITE);
#else
  (void)debut, (void)avance, (void)fin;
#endif
}

// Out of Suiv's common path, at seuil or when Nprem is full: doubles the
// room of Nprem when it is full, then maps the next kMorceau entries.
// Writes Nprem's room and seuil.
[[gnu::noinline]] void agrandir() {
  if (Nprem.size() == Nprem.capacity()) Nprem.reserve(2 * Nprem.size() + 8);
  seuil = std::min(Nprem.capacity(), Nprem.size() + kMorceau);
  agrandir_vers(seuil);
}

// j as the trial division of the prime p just appended leaves it: at the
// first prime whose square passes p. p only grows, so the search goes on
// from the j of the prime before whenever the primes below j all have
// squares up to p.
void indice_d_arret(int64_t p) {
  const auto carre = [](int64_t m) {
    const auto q = static_cast<uint64_t>(Nprem[static_cast<size_t>(m)]);
    return q * q;  // the table's primes stay below 2^32
  };
  const auto up = static_cast<uint64_t>(p);
  int64_t m = j >= 1 && j <= np && carre(j - 1) <= up ? j : 1;
  while (carre(m) <= up) ++m;
  j = m;
}

}  // namespace

// The trial division of the odd numbers after Nprem[np] by the primes of the
// table stops at the first of them with no prime factor up to its root: the
// smallest prime above Nprem[np], which is what the sieve hands out. The
// sieve needs no step counter, so i stays at 1.
int32_t Suiv() {
  const int64_t p = premier_suivant();
  ++np;
  if (Nprem.size() >= seuil || Nprem.size() == Nprem.capacity()) [[unlikely]]
    agrandir();
  // Room is made above: this lets the compiler leave out push_back's own
  // copy to a larger block, which would cost every call its registers.
  if (Nprem.size() == Nprem.capacity()) __builtin_unreachable();
  Nprem.push_back(p);
  indice_d_arret(p);
  i = 1;
  return 1;
}

// The same primes as Suiv called until the table holds b, a segment at a
// time, in memory mapped at once.
void etendre_jusqua(int64_t b) {
  if (Nprem[static_cast<size_t>(np)] >= b) return;
  reserver_premiers(b);
  // The whole room is mapped once per block, not at every call.
  if (seuil < Nprem.capacity()) {
    seuil = Nprem.capacity();
    agrandir_vers(seuil);
  }
  prolonger_nprem(b);
  indice_d_arret(Nprem[static_cast<size_t>(np)]);
  i = 1;
}

int64_t premier_au_dela(int64_t x) {
  if (Nprem[static_cast<size_t>(np)] <= x) {
    etendre_jusqua(x + 1);
    return np;
  }
  return std::upper_bound(Nprem.begin() + 1, Nprem.begin() + np + 1, x) -
         Nprem.begin();
}
