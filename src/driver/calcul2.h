// One calculation: the questions that fix the range and the parity, the
// header of the listing, and the walk over every N of the range.
#pragma once

#include <cstdint>

// Asks for the minimum and maximum values of N and the parity, prints the
// header for that parity, then lists every N from the minimum to the
// maximum whose divisor sum has that parity, N after N or by slices; Ctrl-C
// at a terminal stops the listing after the current N or slice. Writes nN,
// N, Nmax, parite, S, xn and message.
void calcul2();

// The listing of N + 1 to Nmax by slices: lines, output and program-wide
// state as calcul once per N leaves them at the listing's last N, or at the
// last N of the slice where Ctrl-C stopped it. Reads parite and the flags
// of the listing's events.
void lister_par_tranches();
