// What a listing does besides its lines: the output written every 100 ms,
// the status line on the terminal, the terminal put back on every way out,
// and Ctrl-C, which ends the listing rather than the program.
#pragma once

#include <cstdint>

// Start of a listing of the N from `premier` to `dernier`: starts the ticks,
// the status line where standard error can show one, and the handling of
// the terminal and the signals. Ctrl-C stops the listing when standard input
// is a terminal and SIGINT was not ignored. Nothing of this when the output
// is captured. Reads sortie_capture.
void debut_liste(int64_t premier, int64_t dernier);

// Called between two N once `evenement` is raised, N being the last N done:
// writes out the output, draws or refreshes the status line, and answers a
// resume or a change of the terminal's size. Returns false when Ctrl-C asks
// the listing to stop.
bool faire_le_point();

// Between two segments, slices or blocks of lines of a listing by slices,
// atteint being the last N whose line is written: when `evenement` is
// raised, N is set to atteint and faire_le_point answers. Returns false when
// Ctrl-C asks the listing to stop.
bool continuer_la_liste(int64_t atteint);

// End of a listing, complete or stopped: writes out the output, erases the
// status line, stops the ticks and puts the terminal and the signals back.
void fin_liste();
