// A long listing by slices of its range: how long each slice is and how it
// is sieved, on one thread or on several, and the end of the listing.
#pragma once

#include "plage/segments.h"

// The longest streamed slice, in N: its notes take 4 bytes per N and large
// prime, 0.7 of those per N (12 MiB).
constexpr int64_t kFenetre = int64_t{1} << 22;

// The plan of one slice of a listing: its last N, and how it is sieved: by
// the stored primes up to `borne`, and with `flux` by every other prime up
// to the root of its end, streamed.
struct PlanDeTranche {
  int64_t fin;
  int64_t borne;
  bool flux;
};

// The primes sieved over the N up to fin, of a listing of `longueur` N:
// every prime up to the root of fin, where they are at most 2^25 and not too
// many for the listing (64 per N: placing each in a slice costs a
// division); else the primes up to 2^20 at most, and what they leave of an
// N past the square of the next prime is split one N at a time (or sieved
// by the streamed primes, when the slice is streamed).
int64_t borne_du_crible(int64_t longueur, int64_t fin);

// The largest bound borne_du_crible gives any slice of a listing of the N
// from premier to nmax: the table of sieving primes is grown to it once,
// before the threads start.
int64_t borne_de_la_liste(int64_t premier, int64_t nmax);

// The slice of the listing of `longueur` N that starts at debut, the first
// one when `premiere`, its N up to Nmax, by parite. Reads Nmax and parite.
PlanDeTranche planifier(int64_t debut, int64_t longueur, bool premiere);

// Lists N + 1 to Nmax, whose divisor sums have the parity in parite, by
// slices of the range, then leaves the lines, the output and the
// program-wide state as calcul once per N leaves them at Nmax, or at the N
// after the last one listed when `continuer` said to stop. `continuer` is
// asked between two segments, two slices, or two blocks of lines, with the
// last N whose line is written.
void lister_par_tranches(Continuer continuer);
