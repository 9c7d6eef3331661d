// Segmented sieve of Eratosthenes behind the prime table. A segment covers
// the odd numbers of (lo, lo + 2n) with lo even, one byte each; it starts as
// a copy of a pattern where the multiples of 3 to 13 are already marked, is
// sieved by the odd primes of the table from 17 on, and never reaches the
// square of the table's last prime, so every composite in it is marked.

#include "arith/tamis.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "arith/vectoriel.h"
#include "state/state.h"

namespace {

// Odd numbers per segment: 32 KiB of marks, which stay in the L1 cache.
constexpr int64_t kLongueur = int64_t{1} << 15;

// The odd numbers 2t + 1 repeat their divisibility by 3, 5, 7, 11 and 13
// with period 15015 in t. motif[t] is 1 when 2t + 1 has one of those
// factors; it runs one segment past the period, so that any segment is a
// single copy from motif + (its first t mod the period).
constexpr int64_t kPeriode = int64_t{3} * 5 * 7 * 11 * 13;
constexpr int64_t kPremierCrible = 7;  // Nprem[7] = 17, the first one after
unsigned char motif[kPeriode + kLongueur];

unsigned char compose[kLongueur + 64];  // the segment, and a tail of marks

// One sieve's progress past the end of its table: the primes of its last
// segment, and where each sieving prime marks next.
struct Crible {
  int64_t bloc[kLongueur];  // primes of the last segment: bloc[0..taille)
  int64_t taille = 0;
  int64_t lu = 0;          // bloc[lu] is the next one to hand out
  int64_t apres = 0;       // the prime handed out last (or the table's end)
  int64_t fin_crible = 0;  // even; the odd numbers below it are sieved
  // For the sieving primes t[kPremierCrible ..], in order, two each: the
  // index t (the odd number 2t + 1) of the next two multiples each marks.
  std::vector<int64_t> prochain;
};
Crible crible_nprem, crible_propre;

// Bit d set where marque[d] is 0 (a prime), for the 64 marks from marque;
// every mark is 0 or 1.
inline uint64_t premiers_de_64(const unsigned char* marque) {
  uint64_t x = 0;
#if KELVARO_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (int d = 0; d < 64; d += 16) {
    const __m128i v =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(marque + d));
    const auto m =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
    x |= uint64_t{m} << d;
  }
#else
  // Eight marks per word: ~w & 0x01... keeps a 1 in each byte that was 0,
  // and the multiplication gathers the low bits of bytes 0 to 7 into bits
  // 56 to 63 without carries (each lands alone on its own bit).
  for (int d = 0; d < 64; d += 8) {
    uint64_t w;
    std::memcpy(&w, marque + d, 8);
    if constexpr (std::endian::native == std::endian::big)
      w = __builtin_bswap64(w);  // byte 0 of the marks in the low byte
    const uint64_t uns = ~w & 0x0101010101010101ull;
    x |= ((uns * 0x0102040810204080ull) >> 56) << d;
  }
#endif
  return x;
}

// Fills motif, once.
void preparer_motif() {
  for (int64_t t = 0; t < kPeriode + kLongueur; ++t) {
    const int64_t x = 2 * t + 1;
    motif[t] =
        x % 3 == 0 || x % 5 == 0 || x % 7 == 0 || x % 11 == 0 || x % 13 == 0;
  }
}

// Starts the segment of the n odd numbers after lo as a copy of the
// pattern, which marks 5, 7, 11 and 13 themselves: those are put back.
void copier_motif(int64_t lo, int64_t n) {
  if (motif[1] == 0) preparer_motif();  // 3 is marked once it is built
  std::memcpy(compose, motif + lo / 2 % kPeriode, static_cast<size_t>(n));
  for (int64_t q : {5, 7, 11, 13})
    if (q > lo && q < lo + 2 * n) compose[(q - lo - 1) / 2] = 0;
}

// Takes on the sieving primes from Nprem[kPremierCrible] = 17 whose square
// is below hi, each once, with its first two multiples from lo + 1 on. Of
// the multiples m q, the even m fall outside the odd numbers and the
// multiples of 3 are marked by the pattern: only m = 1 or 5 modulo 6 are
// left, whose t advance by 2q and q in turn.
void prendre_cribleurs(Crible& cr, const int64_t* t, int64_t n, int64_t lo,
                       int64_t hi) {
  std::vector<int64_t>& prochain = cr.prochain;
  for (auto c = static_cast<int64_t>(prochain.size()) / 2 + kPremierCrible;
       c <= n; ++c) {
    const int64_t q = t[c];
    if (q > hi / q) break;
    int64_t m = std::max(q, (lo + 1 + q - 1) / q);  // first m q >= lo + 1
    while (m % 6 != 1 && m % 6 != 5) ++m;
    const int64_t m2 = m + (m % 6 == 1 ? 4 : 2);
    prochain.push_back((m * q - 1) / 2);
    prochain.push_back((m2 * q - 1) / 2);
  }
}

// Marks the multiples of every sieving prime among the n odd numbers from
// index base: two marks 3q apart per step. Keeps each prime's next two.
void marquer(Crible& cr, const int64_t* t, int64_t base, int64_t n) {
  std::vector<int64_t>& prochain = cr.prochain;
  for (size_t c = 0; c < prochain.size(); c += 2) {
    const int64_t q = t[c / 2 + kPremierCrible], pas = 3 * q;
    int64_t x = prochain[c] - base, y = prochain[c + 1] - base;  // x < y
    for (; y < n; x += pas, y += pas) compose[x] = compose[y] = 1;
    if (x < n) {
      compose[x] = 1;
      x += pas;
      std::swap(x, y);
    }
    prochain[c] = base + x;
    prochain[c + 1] = base + y;
  }
}

// Puts the primes of the n marks after lo in bloc: sixty-four marks per
// mask, a bit for each unmarked byte (a prime), read off lowest first, so
// the loop over the bits ends once per 64 numbers.
void extraire(Crible& cr, int64_t lo, int64_t n) {
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
void cribler(Crible& cr, const int64_t* t, int64_t n_premiers) {
  const int64_t lo = cr.fin_crible;
  const auto dernier = static_cast<uint64_t>(t[n_premiers]);
  // dernier < 2^32, as the table never needs primes past the root of 2^63.
  const uint64_t carre = dernier * dernier;
  int64_t n = kLongueur;
  if (carre < static_cast<uint64_t>(lo + 2 * n))
    n = (static_cast<int64_t>(carre) - lo) / 2;  // odd numbers below carre
  const int64_t hi = lo + 2 * n;                 // the segment is (lo, hi)
  copier_motif(lo, n);
  prendre_cribleurs(cr, t, n_premiers, lo, hi);
  marquer(cr, t, lo / 2, n);
  extraire(cr, lo, n);
  cr.fin_crible = hi;
}

// Makes bloc[lu] the smallest prime above t[n], the table's last prime:
// starts the sieve again after it when the table no longer ends where the
// sieve left it, then sieves until a segment holds a prime.
void rattraper(Crible& cr, const int64_t* t, int64_t n) {
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
int64_t ajouter(Crible& cr, Table& t, int64_t n, int64_t borne,
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
  Crible& cr = crible_nprem;
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
