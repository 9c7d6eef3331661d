// The monotonic clock and the 100 ms interval timer of a listing.

#include "terminal/horloge.h"

#include <sys/time.h>

#include <ctime>

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

struct sigaction avant_tic {};  // SIGALRM's action before the listing

}  // namespace

// Writes the two flags and SIGALRM's action.
void armer_tic() {
  tic = 0;
  evenement = 0;
  struct sigaction action {};
  action.sa_handler = sur_tic;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, &avant_tic);
  regler_minuteur(kPeriodeMs);
}

// Once setitimer has stopped the timer no tick is generated any more, and
// one generated before was delivered at once (SIGALRM is never blocked):
// the old action can come back without a late tick meeting it.
void desarmer_tic() {
  regler_minuteur(0);
  sigaction(SIGALRM, &avant_tic, nullptr);
}

double maintenant() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
