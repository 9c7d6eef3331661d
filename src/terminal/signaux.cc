// The signal handlers of a listing and NOFLSH on the terminal of standard
// input. Only async-signal-safe calls in the handlers; each keeps errno.
// Worker threads may run meanwhile: masks are the calling thread's
// (pthread_sigmask), the workers keeping every signal blocked.

#include "terminal/signaux.h"

#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "terminal/horloge.h"

volatile std::sig_atomic_t interruption = 0;
volatile std::sig_atomic_t reprise = 0;
volatile std::sig_atomic_t arret_ctrl_z = 0;
volatile std::sig_atomic_t redimension = 0;
void (*effacer_en_urgence)() = nullptr;

namespace {

// Every signal a listing handles, and the dispositions they had before it.
constexpr int kSignaux[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,
                            SIGPIPE, SIGTSTP, SIGCONT, SIGWINCH};
constexpr size_t kNombre = std::size(kSignaux);
struct sigaction avant[kNombre];
bool pris[kNombre];                // our handler stands in for avant[i]
struct sigaction action_arret {};  // the SIGTSTP handler, put back at resume

// NOFLSH is the listing's: set by it, to be taken away at its end.
bool noflsh_voulu = false;
// NOFLSH stands on the terminal by the listing's doing.
volatile std::sig_atomic_t noflsh_pose = 0;

// Sets or clears NOFLSH on the terminal of standard input. SIGTTOU is held
// meanwhile, so that a process put in the background (`bg`) may still put
// the terminal back instead of being stopped by the change.
void changer_noflsh(bool poser) {
  sigset_t ttou, masque;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  pthread_sigmask(SIG_BLOCK, &ttou, &masque);
  termios modes{};
  if (tcgetattr(0, &modes) == 0) {
    if (poser)
      modes.c_lflag |= NOFLSH;
    else
      modes.c_lflag &= ~static_cast<tcflag_t>(NOFLSH);
    tcsetattr(0, TCSANOW, &modes);
  }
  pthread_sigmask(SIG_SETMASK, &masque, nullptr);
}

// Gives `sig` its default action and lets it through: raised while the
// handler blocks it, it takes effect as soon as it is unblocked.
void effet_par_defaut(int sig) {
  struct sigaction defaut {};
  defaut.sa_handler = SIG_DFL;
  sigemptyset(&defaut.sa_mask);
  sigaction(sig, &defaut, nullptr);
  raise(sig);
  sigset_t seul;
  sigemptyset(&seul);
  sigaddset(&seul, sig);
  pthread_sigmask(SIG_UNBLOCK, &seul, nullptr);
}

// SIGHUP, SIGQUIT, SIGTERM, SIGPIPE, and SIGINT when it does not stop the
// listing: the terminal put back, then the end by that same signal.
void sur_fin(int sig) {
  remettre_terminal();
  effet_par_defaut(sig);
}

// Ctrl-C stopping the listing. A terminal's own Ctrl-C throws away what was
// typed ahead; NOFLSH keeps it from doing so, so it is done here.
void sur_interruption(int) {
  const int e = errno;
  tcflush(0, TCIFLUSH);
  interruption = 1;
  evenement = 1;
  errno = e;
}

// Ctrl-Z: the terminal put back, then the stop. Execution goes on here at
// the resume, or at once when the kernel drops the stop (a process group
// that no shell controls); the handler is then put in place again.
void sur_arret(int sig) {
  const int e = errno;
  remettre_terminal();
  effet_par_defaut(sig);
  sigaction(sig, &action_arret, nullptr);
  arret_ctrl_z = 1;
  reprise = 1;
  evenement = 1;
  errno = e;
}

void sur_reprise(int) {
  reprise = 1;
  evenement = 1;
}

void sur_redimension(int) {
  redimension = 1;
  evenement = 1;
}

}  // namespace

bool signal_ignore(int sig) {
  struct sigaction actuelle {};
  return sigaction(sig, nullptr, &actuelle) == 0 &&
         actuelle.sa_handler == SIG_IGN;
}

// Writes avant, pris, action_arret, noflsh_voulu, noflsh_pose and clears the
// flags. Each handler runs with every signal of the listing held, SIGTTOU
// too, and restarts the system calls it interrupts.
void prendre_terminal(bool arreter, bool noflsh) {
  interruption = 0;
  reprise = 0;
  arret_ctrl_z = 0;
  redimension = 0;
  struct sigaction action {};
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int sig : kSignaux) sigaddset(&action.sa_mask, sig);
  sigaddset(&action.sa_mask, SIGTTOU);
  for (size_t s = 0; s < kNombre; ++s) {
    const int sig = kSignaux[s];
    pris[s] = false;
    if (sigaction(sig, nullptr, &avant[s]) != 0 ||
        avant[s].sa_handler == SIG_IGN)
      continue;
    if (sig == SIGINT && arreter)
      action.sa_handler = sur_interruption;
    else if (sig == SIGTSTP)
      action.sa_handler = sur_arret;
    else if (sig == SIGCONT)
      action.sa_handler = sur_reprise;
    else if (sig == SIGWINCH)
      action.sa_handler = sur_redimension;
    else
      action.sa_handler = sur_fin;
    if (sig == SIGTSTP) action_arret = action;
    pris[s] = sigaction(sig, &action, nullptr) == 0;
  }
  // Set only when the user's terminal does not have it already; marked
  // before it is set, so that a signal in between finds it to take away.
  termios modes{};
  noflsh_voulu =
      noflsh && tcgetattr(0, &modes) == 0 && (modes.c_lflag & NOFLSH) == 0;
  reprendre_terminal();
}

void reprendre_terminal() {
  if (!noflsh_voulu || tcgetpgrp(0) != getpgrp()) return;
  noflsh_pose = 1;
  changer_noflsh(true);
}

void remettre_terminal() {
  if (effacer_en_urgence != nullptr) effacer_en_urgence();
  if (noflsh_pose == 0) return;
  changer_noflsh(false);
  noflsh_pose = 0;
}

void rendre_terminal() {
  remettre_terminal();
  noflsh_voulu = false;
  for (size_t s = 0; s < kNombre; ++s)
    if (pris[s]) sigaction(kSignaux[s], &avant[s], nullptr);
}
