// The state a listing by slices leaves: the program-wide variables and the
// prime table exactly as calcul once per N would leave them, restored once,
// where the listing ends or Ctrl-C stops it.
#pragma once

#include <cstdint>

// Ends the listing of the N from premier to dernier, whose lines are
// written up to dernier - 1: dernier goes through calcul, which writes its
// line, and the variables and the prime table are left as calcul over each
// N from premier to dernier leaves them. Reads parite; writes N, S, nN and
// what calcul writes; grows Nprem (np, i, j).
void finir_la_liste(int64_t premier, int64_t dernier);
