// The status line of a long listing: drawn on the terminal of standard error
// on the row below the cursor, its text renewed at most five times a second,
// kept below the lines while they flow, and taken away again without a
// trace. The terminal's cursor is followed through what the listing writes
// to make that possible.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Start of a listing of the N from `premier` to `dernier`. Decides whether a
// status line may be shown: standard error is a terminal that can take it
// (TERM set and not "dumb"). The text offers Ctrl-C when `ctrl_c` (it stops
// the listing). Returns whether a line may be shown.
bool statut_debut(int64_t premier, int64_t dernier, bool ctrl_c);

// At a tick, time `t`, n being the last N done: once the listing has run a
// second, composes the line's text anew, at most five times a second. The
// next write of the lines carries it.
void statut_point(double t, int64_t n);

// Draws the text composed last if no write of the lines has carried it.
void statut_montrer();

// After a stop, at time `t`: the stopped time is left out of the pace, and
// after Ctrl-Z the cursor is taken to stand at the start of a row (the
// shell's own lines end with a newline).
void statut_reprise(double t, bool apres_ctrl_z);

// After a change of the terminal's size: the line is erased at once, with
// whatever rows the terminal made of it by wrapping it again.
void statut_redimension();

// Erases the line if it stands, and draws nothing more until the listing
// resumes (statut_reprise); async-signal-safe.
void statut_effacer_en_urgence();

// End of a listing: the line erased and nothing drawn any more. Called
// before the buffer's last bytes are written.
void statut_fin();

// A duration rounded to whole seconds as "h:mm:ss", or "j j hh:mm:ss" past a
// day; "?" when it is not a number, negative or beyond 10^15 s.
std::string duree(double secondes);

// Rows the cursor of a terminal `largeur` columns wide goes down through
// the n bytes at `octets`: newlines (the terminal's own CR LF) and wraps
// past the last column. `colonne` and `en_attente` (a wrap pending: the last
// column just written) are the cursor's, read and updated. Returns -1 when
// terminals disagree on what a byte does (a tab met with a wrap pending, a
// control byte other than CR, LF and tab).
int descente(const char* octets, size_t n, int largeur, int& colonne,
             bool& en_attente);
