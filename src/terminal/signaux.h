// What a listing borrows from the terminal and how it is given back on every
// way out: NOFLSH on the terminal of standard input, and the signals that
// stop or end the process while a listing runs. The handlers only raise
// flags, or put the terminal back before the signal takes its default effect.
#pragma once

#include <csignal>

// SIGINT arrived while it stops the listing.
extern volatile std::sig_atomic_t interruption;
// The process went on after a stop (SIGCONT) since the flag was cleared.
extern volatile std::sig_atomic_t reprise;
// The process stopped itself at Ctrl-Z (SIGTSTP) before that resume: the
// shell has written to the terminal meanwhile.
extern volatile std::sig_atomic_t arret_ctrl_z;
// The terminal's size changed (SIGWINCH) since the flag was cleared.
extern volatile std::sig_atomic_t redimension;

// Takes the status line off the screen; async-signal-safe. Called by
// remettre_terminal; set during a listing that may show one.
extern void (*effacer_en_urgence)();

// Whether `sig` is ignored. Outside a listing every disposition is the one
// the process inherited.
bool signal_ignore(int sig);

// Start of a listing. SIGINT stops the listing when `arreter` (raises
// interruption and drops what was typed ahead), or else ends the process
// like SIGTERM, SIGHUP, SIGQUIT and SIGPIPE: each of them first puts the
// terminal back, then takes its default effect, so that the exit status
// tells the signal. SIGTSTP puts the terminal back before the process stops.
// A signal ignored at the start stays ignored. With `noflsh`, sets NOFLSH on
// the terminal of standard input, so that Ctrl-C, Ctrl-\ and Ctrl-Z keep
// the lines written and not yet shown.
void prendre_terminal(bool arreter, bool noflsh);

// After a resume: sets NOFLSH again when the listing set it, if the process
// is in the foreground of the terminal (not after `bg`).
void reprendre_terminal();

// Puts the terminal back as the listing found it: the status line erased,
// NOFLSH taken away again. Async-signal-safe.
void remettre_terminal();

// End of a listing: the terminal put back and every disposition that
// prendre_terminal changed restored.
void rendre_terminal();
