// The 100 ms interval timer and the SIGINT handler of a listing.

#include "state/tic.h"

#include <sys/time.h>

volatile std::sig_atomic_t evenement = 0;
volatile std::sig_atomic_t tic = 0;
volatile std::sig_atomic_t interruption = 0;

namespace {

struct sigaction sigint_avant {};
bool sigint_pris = false;  // our handler stands in for sigint_avant

// The flag of its own first, then evenement: the walk clears evenement before
// it reads the others, so a signal between the two is seen at the next N.
void sur_tic(int) {
  tic = 1;
  evenement = 1;
}
void sur_interruption(int) {
  interruption = 1;
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

// Writes the three flags, the SIGALRM handler (kept for the whole process,
// so that a late tick never ends it) and the SIGINT disposition.
void armer_tic(bool intercepter) {
  tic = 0;
  interruption = 0;
  evenement = 0;
  struct sigaction action {};
  action.sa_handler = sur_tic;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
  if (intercepter) {
    sigaction(SIGINT, nullptr, &sigint_avant);
    if (sigint_avant.sa_handler != SIG_IGN) {
      action.sa_handler = sur_interruption;
      sigaction(SIGINT, &action, nullptr);
      sigint_pris = true;
    }
  }
  regler_minuteur(kPeriodeMs);
}

// Stops the timer and puts back SIGINT's disposition when armer_tic took it.
void desarmer_tic() {
  regler_minuteur(0);
  if (sigint_pris) sigaction(SIGINT, &sigint_avant, nullptr);
  sigint_pris = false;
}

// Stops the timer, puts SIGINT back and raises it.
void relancer_interruption() {
  desarmer_tic();
  std::raise(SIGINT);
}
