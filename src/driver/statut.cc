// The status line of a long listing, drawn on the terminal of standard error
// on the line below the cursor and taken away again without a trace, and the
// terminal's cursor followed through what the listing writes to make that
// possible; the ticks and Ctrl-C as the walk over N meets them.

#include "driver/statut.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "state/sortie.h"
#include "state/state.h"

namespace {

// --- The listing -----------------------------------------------------------
int64_t premier_N = 0;         // first N of the range
int64_t dernier_N = 0;         // last N of the range
double debut_s = 0;            // clock when the listing began, in seconds
double maj_s = 0;              // clock when the text was last composed
bool arme = false;             // the ticks run (the output is not captured)
bool entree_terminal = false;  // standard input is a terminal
bool noflsh_pose = false;      // the listing set NOFLSH on standard input
bool statut_possible = false;  // standard error is a terminal
bool affiche = false;          // the status line stands on the screen
std::string texte;             // the status as last composed, before any cut

// --- The terminal's cursor, followed through what descriptor 1 writes -----
// With a wrap pending (the last column just written), the cursor shows on the
// last column but the next character goes to the next row. Moving the cursor
// drops that state, so it is remade by writing the last character again over
// itself. Nothing of this when descriptor 1 writes elsewhere.
bool meme_terminal = false;  // descriptors 1 and 2 are the same terminal
bool curseur_connu = false;  // colonne, en_attente and dernier are right
int largeur_suivie = 0;      // terminal width the cursor was followed at
int colonne = 0;             // 0-based column of the cursor
bool en_attente = false;     // a wrap is pending
unsigned char dernier = 0;   // last byte written to descriptor 1

// Seconds on the monotonic clock.
double maintenant() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Width of the terminal of standard error; 0 when unknown, or when it has a
// single row and no row below the cursor to draw on.
int largeur() {
  winsize w{};
  if (ioctl(2, TIOCGWINSZ, &w) != 0 || w.ws_row < 2) return 0;
  return w.ws_col;
}

// Writes `s` to standard error; a terminal that refuses it gets no status
// line any more (statut_possible becomes false).
bool ecrire_terminal(const std::string& s) {
  const char* p = s.data();
  size_t n = s.size();
  while (n > 0) {
    const ssize_t fait = ::write(2, p, n);
    if (fait < 0 && errno == EINTR) continue;
    if (fait <= 0) {
      statut_possible = false;
      return false;
    }
    p += fait;
    n -= static_cast<size_t>(fait);
  }
  return true;
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
    colonne = 0;
    en_attente = false;
    curseur_connu = w >= 2;
    largeur_suivie = w;
  } else if (w != largeur_suivie) {
    curseur_connu = false;
  }
  dernier = '\n';
  for (; octets < fin && curseur_connu; ++octets) {
    const auto c = static_cast<unsigned char>(*octets);
    dernier = c;
    if (c == '\t' && !en_attente) {
      colonne = colonne / 8 * 8 + 8 < w ? colonne / 8 * 8 + 8 : w - 1;
    } else if (c >= 0x20 && c < 0x7f) {
      if (en_attente) colonne = 0;
      en_attente = colonne == w - 1;
      if (!en_attente) ++colonne;
    } else {
      curseur_connu = false;
    }
  }
}

// Put back after drawing or erasing below the cursor: the pending wrap, if
// any, by the last character written once more at the same place.
std::string retour() {
  return meme_terminal && en_attente
             ? std::string(1, static_cast<char>(dernier))
             : std::string();
}

// Draws `texte`, cut to the width, on the line below the cursor and comes
// back. IND goes down one row in the same column, scrolling at the bottom
// row; the saved cursor brings the column back on that row, and RI goes up
// one row again. Keeps away while the cursor is unknown. Writes affiche.
void dessiner() {
  const int w = largeur();
  if (w < 2 || (meme_terminal && (!curseur_connu || w != largeur_suivie)))
    return;
  const std::string ligne = texte.substr(0, static_cast<size_t>(w - 1));
  affiche =
      ecrire_terminal("\033D\0337\r" + ligne + "\033[K\0338\033M" + retour());
}

// Erases the line below the cursor when the status stands there: down one
// row, the whole row cleared, up again. The row stays, blank: the next
// newline of the listing moves into it as it would have scrolled one in.
void effacer() {
  if (!affiche) return;
  affiche = false;
  ecrire_terminal("\033D\033[2K\033M" + retour());
}

// Hook of vider: erases the status line before the bytes reach the terminal
// and follows the cursor through them.
void avant_ecriture(const char* octets, size_t n) {
  effacer();
  if (meme_terminal) suivre(octets, n);
}

// A duration in whole seconds as "h:mm:ss", or "j j hh:mm:ss" past a day.
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

// Composes the status at time `t` from N, the last N done: N, the share of
// the range done, N per second since the start, and the time left at that
// pace. Writes texte.
void composer(double t) {
  const double fait = static_cast<double>(N - premier_N + 1);
  const double total = static_cast<double>(dernier_N - premier_N + 1);
  const double vitesse = fait / (t - debut_s);
  const auto pour_mille = static_cast<long long>(1000.0 * fait / total);
  char b[160];
  std::snprintf(b, sizeof b, "N = %lld   %lld,%lld %%   %.0f N/s   reste %s",
                static_cast<long long>(N), pour_mille / 10, pour_mille % 10,
                vitesse, duree((total - fait) / vitesse).c_str());
  texte = b;
  if (entree_terminal) texte += "   Ctrl-C : arreter la liste";
}

// At Ctrl-C a terminal throws away by default the output it holds still
// unread, which may cut the last lines in the middle; NOFLSH keeps them.
// Sets it on the terminal of standard input for the listing (`poser`), or
// takes it away again when the listing set it. Writes noflsh_pose.
void garder_a_l_interruption(bool poser) {
  termios modes{};
  if (poser == noflsh_pose || tcgetattr(0, &modes) != 0) return;
  if (poser && (modes.c_lflag & NOFLSH) != 0) return;  // set already
  if (poser)
    modes.c_lflag |= NOFLSH;
  else
    modes.c_lflag &= ~static_cast<tcflag_t>(NOFLSH);
  if (tcsetattr(0, TCSANOW, &modes) == 0) noflsh_pose = poser;
}

// Whether descriptors 1 and 2 are the same terminal.
bool sortie_sur_le_terminal() {
  struct stat un {
  }, deux{};
  return fstat(1, &un) == 0 && fstat(2, &deux) == 0 && S_ISCHR(un.st_mode) &&
         S_ISCHR(deux.st_mode) && un.st_rdev == deux.st_rdev;
}

}  // namespace

// Writes every variable of the listing above and avant_vidage.
void debut_liste(int64_t premier, int64_t dernier) {
  premier_N = premier;
  dernier_N = dernier;
  debut_s = maj_s = maintenant();
  affiche = false;
  texte.clear();
  evenement = 0;
  arme = sortie_capture == nullptr;
  if (!arme) return;
  entree_terminal = isatty(0) == 1;
  statut_possible = isatty(2) == 1;
  meme_terminal = statut_possible && sortie_sur_le_terminal();
  curseur_connu = !meme_terminal;
  en_attente = false;
  if (statut_possible) avant_vidage = avant_ecriture;
  if (entree_terminal) garder_a_l_interruption(true);
  armer_tic(entree_terminal || statut_possible);
}

// Reads and clears the flags of tic.h; writes out the output, and draws the
// status once the listing has run a second, composing it anew at most five
// times a second.
bool faire_le_point() {
  evenement = 0;
  if (interruption != 0) {
    if (entree_terminal) return false;
    effacer();
    relancer_interruption();
    return false;
  }
  if (tic == 0) return true;
  tic = 0;
  vider();
  if (!statut_possible) return true;
  const double t = maintenant();
  if (t - debut_s < 1.0) return true;
  if (texte.empty() || t - maj_s >= 0.19) {
    composer(t);
    maj_s = t;
    dessiner();
  } else if (!affiche) {
    dessiner();
  }
  return true;
}

// Stops the ticks first, so that nothing is drawn after the erasing.
void fin_liste() {
  if (!arme) return;
  arme = false;
  desarmer_tic();
  vider();
  effacer();
  garder_a_l_interruption(false);
  avant_vidage = nullptr;
  statut_possible = false;
  // Ctrl-C between the last N and the end of the ticks, with standard input
  // not a terminal: the default action it would have had.
  if (interruption != 0 && !entree_terminal) std::raise(SIGINT);
}
