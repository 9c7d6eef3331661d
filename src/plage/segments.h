// The divisors' count and sum of every N of a range at once, by a segmented
// sieve, for the listings of the even sums and of every sum: the range's
// sieve set up once, then its segments worked on one thread, or on several
// (each with its own working arrays).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "plage/flux.h"
#include "sortie/ligne.h"
#include "state/types.h"

// N per segment: above it, a streamed prime has at most one multiple in a
// segment.
constexpr int64_t kSegment = int64_t{1} << 15;

// N whose lines are formatted at once into a buffer (of kPaquet * kLigneMax
// bytes): a segment's lines go out a packet at a time.
constexpr int64_t kPaquet = int64_t{1} << 11;

// Asked between two segments whether to go on, with the last N whose line
// is written; false stops the listing there.
using Continuer = bool (*)(int64_t atteint);

// The sieve of the N from debut to fin: set up on the main thread (the
// table of sieving primes grown there), then only read.
struct Crible {
  int64_t debut = 0, fin = 0;
  bool paires = false;              // only the even sums are listed
  const Table* premiers = nullptr;  // [0, 2, 3, ...], past the sieving ones
  size_t fin_premiers = 2;          // sieving primes: premiers[2..fin_premiers)
  // The first sieving prime above kSegment, which has at most one multiple
  // in a segment: those from it on wait in buckets (Poste::seaux), as
  // most have none in a given segment.
  size_t fin_petits = 2;
  // The first prime not divided out by the stored ones, or the root of fin
  // plus 1 when the primes of (apres, jusqua] are streamed as well.
  uint64_t suivant = 0;
  bool grands = false;
  int64_t apres = 0, jusqua = 0;
};

// Sets up the sieve of debut to fin (1 <= debut <= fin; an end at 2^63 - 1
// is taken as 2^63 - 2, the N after a segment being formed) by the
// primes up to `borne` from a stored table and, with `flux`, by every other
// prime up to the root of fin, streamed; `paires` for parity 2.
Crible preparer_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                       bool paires);

// The streamed primes that divide an N of each segment of a range, each
// noted once per segment.
using Notes = std::vector<std::vector<uint32_t>>;

// A large sieving prime's multiple in a segment: the prime, and where.
struct Coup {
  uint32_t p, t;
};

// The working arrays of one thread: about 2 MB.
struct Poste {
  uint64_t cofacteur[kSegment];
  uint32_t nombre[kSegment];
  uint64_t somme64[kSegment];      // the sums, where all fit 64 bits
  u128 somme128[kSegment];         // else
  std::vector<uint32_t> composes;  // the N whose rest is split by rho
  uint64_t restes[kSegment], diviseurs[kSegment];
  std::vector<uint32_t> prochain;  // each small sieving prime's next multiple
  // For each segment of the range being worked on, from seaux_debut on,
  // the large sieving primes whose next multiple falls in it: a segment
  // reads only those that divide one of its N, and hands each on to the
  // segment of its next multiple (Oliveira e Silva's bucket sieve).
  std::vector<std::vector<Coup>> seaux;
  int64_t seaux_debut = 0, seaux_fin = 0;
  Flux flux;
};

// Notes in `notes`, for each segment of c's range, the streamed primes of
// (de, vers] that divide one of its N (c.apres <= de < vers <= c.jusqua). Asks
// `continuer` after each segment of primes (null: never); false when it
// said to stop.
bool noter_grands(const Crible& c, Poste& poste, int64_t de, int64_t vers,
                  Notes& notes, Continuer continuer);

// Makes poste ready to work on the segments of c from lo to fin, in order:
// each small sieving prime's first multiple, and each large one in the
// bucket of the segment of its first multiple there.
void placer(Poste& poste, const Crible& c, int64_t lo, int64_t fin);

// Works on the segments of c from debut (a segment's start in c's range)
// to fin in order, on this thread: places the sieving primes, then for each
// segment of n N from lo, finds the count and sum of the divisors of its
// N, divided by the streamed primes noted for it in each of `notes`, and
// hands it to apres(lo, n), which reads them from poste and says whether
// to go on. The sums are in poste.somme64 where they all fit 64 bits
// (somme_sur_64_bits(c.fin)), else in somme128. Returns the last N of the
// last segment worked on.
int64_t parcourir_segments(Poste& poste, const Crible& c, int64_t debut,
                           int64_t fin, const std::vector<const Notes*>& notes,
                           const std::function<bool(int64_t, int64_t)>& apres);

// Writes at out the lines of the N from lo + de to lo + vers - 1 of that
// segment whose sum has c's parity, numbered on from rang, which it
// increases; out has (vers - de) * kLigneMax bytes free. Returns the end of
// what it wrote.
char* former_lignes(const Poste& poste, const Crible& c, int64_t lo, int64_t de,
                    int64_t vers, int64_t& rang, TextesLigne& textes,
                    char* out);

// Writes the result line of every N from debut to fin whose divisor sum
// has the parity in parite (2 or 0), numbered on from nN, which it
// increases, on this thread; borne and flux as for preparer_crible.
// Returns the last N whose line it has dealt with: fin, or less when
// `continuer` said to stop (debut - 1 when it stopped before any line).
// Reads and writes nothing else of the program-wide state.
int64_t lister_crible(int64_t debut, int64_t fin, int64_t borne, bool flux,
                      Continuer continuer);
