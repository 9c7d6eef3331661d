// A long listing by slices of its range: how long each slice is and how it
// is sieved, on one thread or on several, and the end of the listing.
#pragma once

#include "plage/segments.h"

// Lists N + 1 to Nmax, whose divisor sums have the parity in parite, by
// slices of the range, then leaves the lines, the output and the
// program-wide state as calcul once per N leaves them at Nmax, or at the N
// after the last one listed when `continuer` said to stop. `continuer` is
// asked between two segments, two slices, or two blocks of lines, with the
// last N whose line is written.
void lister_par_tranches(Continuer continuer);
