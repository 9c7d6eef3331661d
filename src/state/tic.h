// The listing's clock and its interruption: an interval timer that ticks
// every 100 ms while a listing runs, and the Ctrl-C that may stop it. The
// signal handlers only raise flags; the walk over N reads them between two N.
#pragma once

#include <csignal>

// Raised by either handler. The walk tests it once per N, so a tick costs
// nothing until it comes; whoever reads the flags below clears it first.
extern volatile std::sig_atomic_t evenement;
// A period of the timer ended since the flag was last cleared.
extern volatile std::sig_atomic_t tic;
// SIGINT arrived while the listing caught it.
extern volatile std::sig_atomic_t interruption;

// Milliseconds between two ticks.
constexpr int kPeriodeMs = 100;

// Clears the flags and starts the ticks (SIGALRM, restarting interrupted
// system calls). With `intercepter`, SIGINT raises `interruption` instead of
// ending the process, unless it was ignored when the listing began.
void armer_tic(bool intercepter);

// Stops the ticks and gives SIGINT back the disposition it had before
// armer_tic. A tick still pending only raises the flags.
void desarmer_tic();

// Gives SIGINT its disposition of before and sends it to the process: the
// default action, delayed until the walk could put the terminal in order.
void relancer_interruption();
