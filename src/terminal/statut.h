// The status line of a long listing: drawn on the terminal of standard error
// on the row below the cursor, refreshed at most five times a second and
// taken away again without a trace. The terminal's cursor is followed
// through what the listing writes to make that possible.
#pragma once

#include <cstdint>
#include <string>

// Start of a listing of the N from `premier` to `dernier`. Decides whether a
// status line may be shown: standard error is a terminal that can take it
// (TERM set and not "dumb"). The text offers Ctrl-C when `ctrl_c` (it stops
// the listing). Returns whether a line may be shown.
bool statut_debut(int64_t premier, int64_t dernier, bool ctrl_c);

// Whether the listing's output should wait for the next refresh rather than
// go out at time `t`: the line stands between the listing and the cursor,
// and writing would erase it a tick before it could be drawn again.
bool statut_retient(double t);

// At a tick, time `t`, n being the last N done: once the listing has run a
// second, composes and draws the line, at most five times a second.
void statut_point(double t, int64_t n);

// After a stop, at time `t`: the stopped time is left out of the pace, and
// after Ctrl-Z the cursor is taken to stand at the start of a row (the
// shell's own lines end with a newline).
void statut_reprise(double t, bool apres_ctrl_z);

// After a change of the terminal's size: the line is erased at once, with
// whatever rows the terminal made of it by wrapping it again.
void statut_redimension();

// Erases the line if it stands; async-signal-safe.
void statut_effacer_en_urgence();

// End of a listing: the line erased and nothing drawn any more.
void statut_fin();

// A duration rounded to whole seconds as "h:mm:ss", or "j j hh:mm:ss" past a
// day; "?" when it is not a number, negative or beyond 10^15 s.
std::string duree(double secondes);
