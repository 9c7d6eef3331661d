// The 100 ms interval timer of a listing.

#include "driver/tic.h"

#include <sys/time.h>

volatile std::sig_atomic_t evenement = 0;
volatile std::sig_atomic_t tic = 0;

namespace {

// The flag of its own first, then evenement: the walk clears evenement before
// it reads the others, so a signal between the two is seen at the next N.
void sur_tic(int) {
  tic = 1;
  evenement = 1;
}

// Sets ITIMER_REAL to tick every `ms` milliseconds (under a second), or
// stops it for 0.
void regler_minuteur(int ms) {
  itimerval v{};
  v.it_interval.tv_usec = static_cast<suseconds_t>(ms) * 1000;
  v.it_value.tv_usec = v.it_interval.tv_usec;
  setitimer(ITIMER_REAL, &v, nullptr);
}

}  // namespace

// Writes the two flags and the SIGALRM handler, kept for the whole process
// so that a late tick never ends it.
void armer_tic() {
  tic = 0;
  evenement = 0;
  struct sigaction action {};
  action.sa_handler = sur_tic;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
  regler_minuteur(kPeriodeMs);
}

void desarmer_tic() { regler_minuteur(0); }
