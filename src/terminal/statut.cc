// The status line: its text, its drawing on the row below the cursor and its
// erasing, and the terminal's cursor followed through what descriptor 1
// writes, so that the line is drawn only where it cannot disturb the
// listing.

#include "terminal/statut.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sortie/sortie.h"
#include "terminal/horloge.h"

namespace {

// Shortest time between two drawings: they come on ticks, so at most at
// every other tick, five a second; a little under 0.2 s, so that a tick
// read late does not push the next drawing one tick further.
constexpr double kIntervalle = 0.19;

// Down one row (scrolling at the bottom), that row and every row below it
// cleared, up again. Clearing to the end of the screen also takes away the
// rows a terminal makes of the line when a narrower window wraps it again.
constexpr char kEffacement[] = "\033D\033[2K\033[J\033M";

// What the status line keeps from one call to the next.
struct EtatDuStatut {
  // The listing.
  int64_t premier_N = 0;       // first N of the range
  int64_t dernier_N = 0;       // last N of the range
  double debut_s = 0;          // start of the listing, moved on by the stops
  double point_s = 0;          // clock at the last tick
  double dessin_s = 0;         // clock at the last drawing
  bool possible = false;       // standard error is a terminal that can take it
  bool offrir_ctrl_c = false;  // the text offers Ctrl-C
  std::string texte;           // the status as last composed, before any cut
  volatile std::sig_atomic_t affiche = 0;  // the line stands on the screen

  // The terminal's cursor, followed through what descriptor 1 writes. With
  // a wrap pending (the last column just written), terminals disagree on
  // what the cursor moves of the drawing do to it: xterm drops the wrap,
  // tmux keeps it. So the line is never drawn in that state. Nothing of
  // this when descriptor 1 writes elsewhere.
  bool meme_terminal = false;  // descriptors 1 and 2 are the same terminal
  bool curseur_connu = false;  // colonne and en_attente are right
  int largeur_suivie = 0;      // terminal width the cursor was followed at
  int colonne = 0;             // 0-based column of the cursor
  bool en_attente = false;     // a wrap is pending
};
EtatDuStatut etat;

// Width of the terminal of standard error; 0 when unknown, or when it has a
// single row and no row below the cursor to draw on.
int largeur() {
  winsize w{};
  if (ioctl(2, TIOCGWINSZ, &w) != 0 || w.ws_row < 2) return 0;
  return w.ws_col;
}

// Standard error is a terminal, and TERM names one that takes cursor moves.
bool terminal_capable() {
  const char* nom = std::getenv("TERM");
  return isatty(2) == 1 && nom != nullptr && *nom != '\0' &&
         std::strcmp(nom, "dumb") != 0;
}

// The process is in the foreground of the terminal of standard error: after
// `bg` it keeps off the screen the shell has taken back.
bool au_premier_plan() {
  const pid_t groupe = tcgetpgrp(2);
  return groupe < 0 || groupe == getpgrp();
}

// Writes `s` to standard error, then records in `affiche` whether the line
// stands; the signals are held meanwhile, so that a handler always finds the
// screen as the flag says. A terminal that refuses the bytes gets no status
// line any more.
void ecrire_terminal(const std::string& s, bool apres) {
  sigset_t tous, masque;
  sigfillset(&tous);
  sigprocmask(SIG_BLOCK, &tous, &masque);
  const char* p = s.data();
  size_t n = s.size();
  while (n > 0) {
    const ssize_t fait = ::write(2, p, n);
    if (fait < 0 && errno == EINTR) continue;
    if (fait <= 0) {
      etat.possible = false;
      apres = false;
      break;
    }
    p += fait;
    n -= static_cast<size_t>(fait);
  }
  etat.affiche = apres ? 1 : 0;
  sigprocmask(SIG_SETMASK, &masque, nullptr);
}

// Follows the cursor through the bytes about to be written to descriptor 1:
// from the last newline on, the terminal's rules for printable characters
// and tabs (stops every 8 columns). A tab met with a wrap pending, or any
// other byte, is handled differently by different terminals: the cursor is
// then unknown until the next newline. Writes the cursor variables.
void suivre(const char* octets, size_t n) {
  const char* fin = octets + n;
  const void* nl = memrchr(octets, '\n', n);
  const int w = largeur();
  if (nl != nullptr) {
    octets = static_cast<const char*>(nl) + 1;
    etat.colonne = 0;
    etat.en_attente = false;
    etat.curseur_connu = w >= 2;
    etat.largeur_suivie = w;
  } else if (w != etat.largeur_suivie) {
    etat.curseur_connu = false;
  }
  for (; octets < fin && etat.curseur_connu; ++octets) {
    const auto c = static_cast<unsigned char>(*octets);
    if (c == '\t' && !etat.en_attente) {
      etat.colonne =
          etat.colonne / 8 * 8 + 8 < w ? etat.colonne / 8 * 8 + 8 : w - 1;
    } else if (c >= 0x20 && c < 0x7f) {
      if (etat.en_attente) etat.colonne = 0;
      etat.en_attente = etat.colonne == w - 1;
      if (!etat.en_attente) ++etat.colonne;
    } else {
      etat.curseur_connu = false;
    }
  }
}

// Draws `texte`, cut to the width, on the row below the cursor and comes
// back. IND goes down one row in the same column, scrolling at the bottom
// row; the saved cursor brings the column back on that row, and RI goes up
// one row again. Keeps away while the cursor is unknown or a wrap pending,
// and while the process is in the background.
void dessiner() {
  const int w = largeur();
  if (!etat.possible || w < 2 || !au_premier_plan()) return;
  if (etat.meme_terminal &&
      (!etat.curseur_connu || etat.en_attente || w != etat.largeur_suivie))
    return;
  ecrire_terminal("\033D\0337\r" +
                      etat.texte.substr(0, static_cast<size_t>(w - 1)) +
                      "\033[J\0338\033M",
                  true);
}

// Erases the line when it stands. The row below the cursor stays, blank:
// the next newline of the listing moves into it as it would have scrolled
// one in.
void effacer() {
  if (etat.affiche != 0) ecrire_terminal(kEffacement, false);
}

// Hook of vider: erases the line before the bytes reach the terminal and
// follows the cursor through them.
void avant_ecriture(const char* octets, size_t n) {
  effacer();
  suivre(octets, n);
}

// Composes the status at time `t` from n, the last N done: n, the share of
// the range done, N per second since the start, and the time left at that
// pace. Writes texte.
void composer(double t, int64_t n) {
  const double fait = static_cast<double>(n - etat.premier_N + 1);
  const double total = static_cast<double>(etat.dernier_N - etat.premier_N + 1);
  const double vitesse = fait / (t - etat.debut_s);
  const auto pour_mille = static_cast<long long>(1000.0 * fait / total);
  char b[160];
  std::snprintf(b, sizeof b, "N = %lld   %lld,%lld %%   %.0f N/s   reste %s",
                static_cast<long long>(n), pour_mille / 10, pour_mille % 10,
                vitesse, duree((total - fait) / vitesse).c_str());
  etat.texte = b;
  if (etat.offrir_ctrl_c) etat.texte += "   Ctrl-C : arreter la liste";
}

// Whether descriptors 1 and 2 are the same terminal.
bool sortie_sur_le_terminal() {
  struct stat un {
  }, deux{};
  return fstat(1, &un) == 0 && fstat(2, &deux) == 0 && S_ISCHR(un.st_mode) &&
         S_ISCHR(deux.st_mode) && un.st_rdev == deux.st_rdev;
}

}  // namespace

std::string duree(double secondes) {
  if (!(secondes >= 0 && secondes < 1e15)) return "?";
  long long t = std::llround(secondes);
  char b[64];
  const long long jours = t / 86400;
  t %= 86400;
  if (jours > 0)
    std::snprintf(b, sizeof b, "%lld j %02lld:%02lld:%02lld", jours, t / 3600,
                  t / 60 % 60, t % 60);
  else
    std::snprintf(b, sizeof b, "%lld:%02lld:%02lld", t / 3600, t / 60 % 60,
                  t % 60);
  return b;
}

// Writes every variable above and avant_vidage.
bool statut_debut(int64_t premier, int64_t dernier, bool ctrl_c) {
  etat.premier_N = premier;
  etat.dernier_N = dernier;
  etat.debut_s = etat.point_s = maintenant();
  etat.dessin_s = 0;
  etat.affiche = 0;
  etat.texte.clear();
  etat.offrir_ctrl_c = ctrl_c;
  etat.possible = terminal_capable();
  etat.meme_terminal = etat.possible && sortie_sur_le_terminal();
  etat.curseur_connu = !etat.meme_terminal;
  etat.en_attente = false;
  etat.largeur_suivie = 0;
  avant_vidage = etat.meme_terminal ? avant_ecriture : nullptr;
  return etat.possible;
}

bool statut_retient(double t) {
  return etat.meme_terminal && etat.affiche != 0 &&
         t - etat.dessin_s < kIntervalle;
}

void statut_point(double t, int64_t n) {
  etat.point_s = t;
  if (!etat.possible || t - etat.debut_s < 1.0 ||
      t - etat.dessin_s < kIntervalle)
    return;
  etat.dessin_s = t;
  composer(t, n);
  dessiner();
}

// The time from the last tick to the resume counts as stopped: at most one
// tick of work is left out with it.
void statut_reprise(double t, bool apres_ctrl_z) {
  etat.debut_s += t - etat.point_s;
  etat.point_s = t;
  etat.dessin_s = 0;
  if (apres_ctrl_z && etat.meme_terminal) {
    etat.colonne = 0;
    etat.en_attente = false;
    etat.largeur_suivie = largeur();
    etat.curseur_connu = etat.largeur_suivie >= 2;
  }
}

void statut_redimension() {
  effacer();
  etat.dessin_s = 0;
}

void statut_effacer_en_urgence() {
  if (etat.affiche == 0) return;
  etat.affiche = 0;
  const ssize_t ignore = ::write(2, kEffacement, sizeof kEffacement - 1);
  (void)ignore;
}

void statut_fin() {
  effacer();
  avant_vidage = nullptr;
  etat.possible = false;
}
