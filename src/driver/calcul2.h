// One calculation: the questions that fix the range and the parity, the
// header of the listing, and the walk over every N of the range.
#pragma once

// Asks for the minimum and maximum values of N and the parity, prints the
// header for that parity, then lists every N from the minimum to the
// maximum whose divisor sum has that parity, N after N or by slices; Ctrl-C
// at a terminal stops the listing after the current N or segment. Writes nN,
// N, Nmax, parite, S, xn and message.
void calcul2();
