// What a listing does besides its lines: the output written every 100 ms,
// the status line shown on the terminal through standard error during long
// work, and Ctrl-C, which ends the listing rather than the program.
#pragma once

#include <cstdint>

#include "state/tic.h"

// Start of a listing of the N from `premier` to `dernier`: starts the ticks
// and decides whether a status line may be shown (standard error is a
// terminal) and whether Ctrl-C is caught (standard input is a terminal, or
// the status line must be erased before the process ends). Nothing of this
// when the output is captured. Reads sortie_capture.
void debut_liste(int64_t premier, int64_t dernier);

// Called between two N once `evenement` is raised, N being the last N done:
// writes out the output, draws or refreshes the status line. Returns false
// when Ctrl-C asks the listing to stop; when standard input is not a
// terminal, erases the status line and ends the process by SIGINT instead.
bool faire_le_point();

// End of a listing, complete or stopped: writes out the output, erases the
// status line, stops the ticks and gives SIGINT back its disposition.
void fin_liste();
