// The listing's clock: the monotonic time, an interval timer that ticks
// every 100 ms while a listing runs, and the flag that any signal of the
// listing raises. The signal handlers only raise flags; the walk over N
// reads them between two N.
#pragma once

#include <csignal>

// Raised by every handler of a listing. The walk tests it once per N, so a
// tick costs nothing until it comes; whoever reads the other flags clears it
// first.
extern volatile std::sig_atomic_t evenement;
// A period of the timer ended since the flag was last cleared.
extern volatile std::sig_atomic_t tic;

// Milliseconds between two ticks.
constexpr int kPeriodeMs = 100;

// Clears the flags and starts the ticks (SIGALRM, restarting interrupted
// system calls), keeping SIGALRM's action from before.
void armer_tic();

// Stops the ticks, then gives SIGALRM back its action from before.
void desarmer_tic();

// Seconds on the monotonic clock.
double maintenant();
