// The status line: its text, its drawing on the row below the cursor, the
// writes of the listing that keep it there, and its erasing; the terminal's
// cursor followed through what descriptor 1 writes, so that the line is
// drawn only where it cannot disturb the listing.

#include "terminal/statut.h"

#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sortie/ecriture.h"
#include "sortie/sortie.h"
#include "terminal/horloge.h"

namespace {

// Shortest time between two texts: they come on ticks, so at most at every
// other tick, five a second; a little under 0.2 s, so that a tick read late
// does not push the next text one tick further.
constexpr double kIntervalle = 0.19;

// Down one row (scrolling at the bottom), that row and every row below it
// cleared, up again. Clearing to the end of the screen also takes away the
// rows a terminal makes of the line when a narrower window wraps it again.
constexpr char kEffacement[] = "\033D\033[2K\033[J\033M";
// After a change of width the terminal may have wrapped the rows again and
// taken the line elsewhere near the cursor: everything from the cursor to
// the end of the screen is cleared. (The line stands only while no wrap is
// pending, and nothing was written right of the cursor.)
constexpr char kEffacementDuBas[] = "\033[J";

// Bytes for the terminal gathered before one write: signals wait during it,
// so a few milliseconds of a terminal's pace at most.
constexpr size_t kLot = 16384;

// What the status line keeps from one call to the next.
struct EtatDuStatut {
  // The listing.
  int64_t premier_N = 0;       // first N of the range
  int64_t dernier_N = 0;       // last N of the range
  double debut_s = 0;          // start of the listing, moved on by the stops
  double point_s = 0;          // clock at the last tick
  double texte_s = 0;          // clock when the text was last composed
  double calme_s = 0;          // rows not moved under the line until then
  bool possible = false;       // standard error is a terminal that can take it
  bool offrir_ctrl_c = false;  // the text offers Ctrl-C
  std::string texte;           // the status as last composed, before any cut
  bool texte_neuf = false;     // composed since it was last drawn
  volatile std::sig_atomic_t affiche = 0;  // the line stands on the screen
  // A handler erased the line: nothing is drawn until the listing resumes.
  volatile std::sig_atomic_t retenu = 0;

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
  std::string lot;             // the next write to the terminal, being made
};
EtatDuStatut etat;

// Width of the terminal of standard error, and its rows in `rangs`; 0 when
// unknown, or when it has a single row and no row below the cursor to draw
// on.
int largeur(int& rangs) {
  winsize w{};
  if (ioctl(2, TIOCGWINSZ, &w) != 0 || w.ws_row < 2) return rangs = 0;
  rangs = w.ws_row;
  return w.ws_col;
}
int largeur() {
  int rangs;
  return largeur(rangs);
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

// Writes `s` to descriptor fd, then records in `affiche` whether the line
// stands; the signals are held meanwhile, so that a handler always finds the
// screen as the flag says. A terminal that refuses the bytes gets no status
// line any more; the lines, on descriptor 1, end the process as in vider.
void ecrire_terminal(int fd, const std::string& s, bool apres) {
  sigset_t tous, masque;
  sigfillset(&tous);
  pthread_sigmask(SIG_BLOCK, &tous, &masque);
  const int erreur = ecrire_tout(fd, s.data(), s.size());
  if (erreur != 0 && fd == 1)
    echouer("erreur d'ecriture sur la sortie standard", erreur, 3);
  if (erreur != 0) {
    etat.possible = false;
    apres = false;
  }
  etat.affiche = apres ? 1 : 0;
  pthread_sigmask(SIG_SETMASK, &masque, nullptr);
}

// Follows the cursor through the bytes about to be written to descriptor 1,
// from the last newline on. Writes the cursor variables.
void suivre(const char* octets, size_t n, int w) {
  const void* nl = memrchr(octets, '\n', n);
  if (nl != nullptr) {
    n -= static_cast<size_t>(static_cast<const char*>(nl) + 1 - octets);
    octets = static_cast<const char*>(nl) + 1;
    etat.colonne = 0;
    etat.en_attente = false;
    etat.curseur_connu = w >= 2;
    etat.largeur_suivie = w;
  } else if (w != etat.largeur_suivie) {
    etat.curseur_connu = false;
  }
  if (etat.curseur_connu &&
      descente(octets, n, w, etat.colonne, etat.en_attente) < 0)
    etat.curseur_connu = false;
}

// The line's text cut to the width: it never writes the last column, where
// a terminal that wraps at once would scroll.
std::string texte_coupe(int w) {
  return etat.texte.substr(0, static_cast<size_t>(w - 1));
}

// Draws the text on the row below the cursor and comes back. IND goes down
// one row in the same column, scrolling at the bottom row; the saved cursor
// brings the column back on that row, and RI goes up one row again. From
// the start of a row a CR brings the column back: a terminal whose width
// changes meanwhile wraps its rows again, and the row saved with the cursor
// may no longer be the cursor's.
std::string dessin(int w, bool debut_de_rang) {
  etat.texte_neuf = false;
  return debut_de_rang ? "\033D\r" + texte_coupe(w) + "\033[J\r\033M"
                       : "\033D\0337\r" + texte_coupe(w) + "\033[J\0338\033M";
}

// The line may be drawn now, at width w: the listing has run a second, the
// terminal has room, the process is in the foreground and no handler has
// taken the line away.
bool dessinable(int w) {
  return etat.possible && !etat.texte.empty() && w >= 2 && etat.retenu == 0 &&
         au_premier_plan();
}

// The cursor is known, with no wrap pending, at the width it was followed
// at: the line may be drawn below it.
bool curseur_sur(int w) {
  return etat.curseur_connu && !etat.en_attente && w == etat.largeur_suivie;
}

// Erases the line when it stands. The row below the cursor stays, blank:
// the next newline of the listing moves into it as it would have scrolled
// one in.
const char* effacement(bool largeur_changee) {
  return largeur_changee ? kEffacementDuBas : kEffacement;
}
void effacer(bool largeur_changee = false) {
  if (etat.affiche != 0) ecrire_terminal(2, effacement(largeur_changee), false);
}

// Appends a cursor move "ESC [ n c" to the write being made.
void deplacer(int n, char c) {
  char b[16];
  std::snprintf(b, sizeof b, "\033[%d%c", n, c);
  etat.lot += b;
}

// Appends to the write being made the bytes from p to fin, which take the
// cursor down `rangs` rows from column `depart` (the line standing on the
// row below it). VT, rangs + 1 times, makes room below the cursor as the
// newlines would, scrolling at the bottom; the line, carried up with the
// rows above, is then the row below the cursor again, and IL's blank rows
// take it down by `rangs`, to the row below the one the bytes end on. A new
// text overwrites it there. The line is on the screen at every byte of
// this. Bytes that stay on the cursor's row go as they are: a move of 0
// rows is taken for 1.
// - VT (vertical tab) is LF to every VT100 terminal and keeps the column;
//   one byte that the terminal's output passes as it is, it is read faster
//   than IND by a terminal, and than a newline by the kernel, which turns
//   each newline into CR LF one at a time.
// - IL may take the cursor to the first column: from another one, the
//   cursor is saved before and restored after, which no width change moves
//   as it would an absolute column.
void sous_le_statut(const char* p, const char* fin, int rangs, int depart,
                    int w) {
  if (rangs == 0) {  // the bytes stay on the cursor's row: nothing moves
    etat.lot.append(p, fin);
    return;
  }
  etat.lot.append(static_cast<size_t>(rangs) + 1, '\v');
  deplacer(rangs, 'A');
  if (depart > 0) etat.lot += "\0337";
  deplacer(rangs, 'L');
  const bool texte = etat.texte_neuf;
  if (texte) {
    deplacer(rangs, 'B');
    etat.lot += '\r' + texte_coupe(w) + "\033[K";
    deplacer(rangs, 'A');
    etat.texte_neuf = false;
  }
  if (depart > 0)
    etat.lot += "\0338";
  else if (texte)
    etat.lot += '\r';
  etat.lot += "\033M";  // RI, up a row: the line's row is not the top one
  etat.lot.append(p, fin);
}

// Writes the write being made to descriptor 1; `pose` says whether the line
// stands once it is written.
void envoyer_lot(bool pose) {
  if (etat.lot.empty()) return;
  ecrire_terminal(1, etat.lot, pose);
  etat.lot.clear();
}

// The bytes from p that go out as one part from the cursor's column and
// wrap state (`colonne`, `attente`, updated) at width w: whole lines while
// they take at most `place` rows (any number when negative) and `taille`
// bytes (the first line whatever its length), and the start of a last line
// that [p, fin) ends inside, but never a last byte that would leave a wrap
// pending: it waits for the next write. Their rows in `rangs`. Stops before
// a line whose rows are unsure; `sur` says false when that is the first.
const char* partie(const char* p, const char* fin, int w, int place,
                   size_t taille, int& rangs, int& colonne, bool& attente,
                   bool& sur) {
  const char* debut = p;
  rangs = 0;
  sur = true;
  while (p < fin) {
    const void* nl = std::memchr(p, '\n', static_cast<size_t>(fin - p));
    const char* q = nl != nullptr ? static_cast<const char*>(nl) + 1 : fin;
    int c = colonne;
    bool att = attente;
    const int r = descente(p, static_cast<size_t>(q - p), w, c, att);
    if (r < 0) {
      sur = p > debut;
      break;
    }
    if ((place >= 0 && rangs + r > place) ||
        (p > debut && static_cast<size_t>(q - debut) > taille))
      break;
    if (att) {  // the end of a line written up to the last column
      --q;
      c = w - 1;
      att = false;
    }
    rangs += r;
    colonne = c;
    attente = att;
    p = q;
    if (nl == nullptr) break;
  }
  return p;
}

// Hook of vider at the terminal of the listing. Writes the bytes in parts
// of rows that stay above the line, which therefore stands all the time the
// lines flow. Where the line does not stand below a sure cursor, or a line
// alone takes more rows than the terminal has, a line is written plainly
// after the line is erased, and the line drawn again below it. For a second
// after the width changes, the rows are not moved under the line: those on
// their way to the terminal when it changed were counted at the old width,
// and the line may not be where they take it. The lines then go plainly
// between an erasing and a drawing, a few kilobytes at a time. While the
// line may not be drawn, the bytes go out plainly after it is erased, and
// the cursor is followed through them.
size_t ecrire_lignes(const char* octets, size_t n) {
  int rangs;
  const int w = largeur(rangs);
  const bool changee = w != etat.largeur_suivie;
  if (!dessinable(w) || rangs < 3) {
    effacer(changee);
    suivre(octets, n, w);
    envoyer(octets, n);
    return n;
  }
  const double t = maintenant();
  const char* premier_effacement = effacement(changee);
  if (changee) {
    etat.calme_s = t + 1.0;
    etat.curseur_connu = false;  // known again after the next newline
    etat.largeur_suivie = w;
  }
  const bool calme = t < etat.calme_s;
  // Up to the last newline: the next rows start at the first column. The
  // end of a line alone goes out too, as a slow listing has no newline
  // before the next tick.
  const void* dernier_nl = memrchr(octets, '\n', n);
  const char* fin = dernier_nl != nullptr
                        ? static_cast<const char*>(dernier_nl) + 1
                        : octets + n;
  bool pose = etat.affiche != 0;
  const char* p = octets;
  while (p < fin) {
    int r, c = etat.colonne;
    bool att = etat.en_attente, sur = etat.curseur_connu;
    const char* q = p;
    if (!calme && pose && sur && !att)
      q = partie(p, fin, w, rangs - 2, SIZE_MAX, r, c, att, sur);
    if (q > p) {
      sous_le_statut(p, q, r, etat.colonne, w);
    } else {
      if (sur) q = partie(p, fin, w, -1, calme ? kLot : 1, r, c, att, sur);
      // Nothing taken from a sure cursor: a lone last byte that would leave
      // a wrap pending, which waits.
      if (q == p && sur) break;
      if (pose) etat.lot += p == octets ? premier_effacement : kEffacement;
      if (q == p) {  // unsure: up to the next newline, after which it is known
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(fin - p));
        q = nl != nullptr ? static_cast<const char*>(nl) + 1 : fin;
        sur = nl != nullptr;
        c = 0;
        att = false;
      }
      etat.lot.append(p, q);
      pose = sur;
      if (sur) etat.lot += dessin(w, c == 0);
    }
    p = q;
    etat.colonne = c;
    etat.en_attente = att;
    etat.curseur_connu = sur;
    if (etat.lot.size() >= kLot) envoyer_lot(pose);
  }
  envoyer_lot(pose);
  return static_cast<size_t>(p - octets);
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
  etat.texte_neuf = true;
}

// Whether descriptors 1 and 2 are the same terminal.
bool sortie_sur_le_terminal() {
  struct stat un {
  }, deux{};
  return fstat(1, &un) == 0 && fstat(2, &deux) == 0 && S_ISCHR(un.st_mode) &&
         S_ISCHR(deux.st_mode) && un.st_rdev == deux.st_rdev;
}

// Whether the terminal's output turns each newline into CR LF and leaves
// tabs and CRs alone: the rules by which the cursor is followed.
bool curseur_suivable() {
  termios modes{};
  constexpr tcflag_t kRegles = OPOST | ONLCR | OCRNL | ONLRET | TABDLY;
  return tcgetattr(1, &modes) == 0 &&
         (modes.c_oflag & kRegles) == (OPOST | ONLCR);
}

}  // namespace

namespace {

// The end of the run of printable characters (0x20 to 0x7e) from pos: eight
// bytes at a time while none of them has its top bit set, or sets it once
// 0x20 is taken away from each (below 0x20) or 1 added (0x7f), then one at
// a time. A borrow or a carry between bytes comes only out of a byte that
// is not printable, and the lowest of those is always seen.
size_t fin_imprimable(const char* octets, size_t pos, size_t n) {
  constexpr uint64_t k01 = 0x0101010101010101, k80 = k01 * 0x80;
  for (uint64_t x; pos + 8 <= n; pos += 8) {
    std::memcpy(&x, octets + pos, 8);
    if ((((x - k01 * 0x20) | (x + k01) | x) & k80) != 0) break;
  }
  while (pos < n && static_cast<unsigned char>(octets[pos] - 0x20) < 0x5f)
    ++pos;
  return pos;
}

}  // namespace

// A run of printable characters is taken whole: after a wrap pending, its
// first one wraps; it fills the row to the last column, leaving a wrap
// pending there, then whole rows of w, and the last row holds the rest.
int descente(const char* octets, size_t n, int w, int& colonne,
             bool& en_attente) {
  int rangs = 0;
  for (size_t pos = 0; pos < n;) {
    const auto c = static_cast<unsigned char>(octets[pos]);
    if (c >= 0x20 && c < 0x7f) {
      const size_t fin = fin_imprimable(octets, pos + 1, n);
      auto restants = static_cast<int64_t>(fin - pos);
      pos = fin;
      if (en_attente) {
        ++rangs;
        colonne = 0;
      }
      const int64_t libres = w - colonne;  // up to and with the last column
      if (restants < libres) {
        colonne += static_cast<int>(restants);
        en_attente = false;
        continue;
      }
      restants -= libres;  // the row filled, a wrap pending
      const int64_t pleins = (restants + w - 1) / w;  // rows begun after it
      rangs += static_cast<int>(pleins);
      const int64_t dernier = restants - (pleins - 1) * w;  // 1 to w, or w
      colonne =
          restants == 0 || dernier == w ? w - 1 : static_cast<int>(dernier);
      en_attente = restants == 0 || dernier == w;
      continue;
    }
    ++pos;
    if (c == '\n' || c == '\r') {
      rangs += c == '\n';
      colonne = 0;
      en_attente = false;
    } else if (c == '\t' && !en_attente) {
      colonne = colonne / 8 * 8 + 8 < w ? colonne / 8 * 8 + 8 : w - 1;
    } else {
      return -1;
    }
  }
  return rangs;
}

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

// Writes every variable above and vers_le_terminal.
bool statut_debut(int64_t premier, int64_t dernier, bool ctrl_c) {
  etat.premier_N = premier;
  etat.dernier_N = dernier;
  etat.debut_s = etat.point_s = maintenant();
  etat.texte_s = 0;
  etat.calme_s = 0;
  etat.affiche = 0;
  etat.retenu = 0;
  etat.texte.clear();
  etat.texte_neuf = false;
  etat.offrir_ctrl_c = ctrl_c;
  etat.possible = terminal_capable();
  etat.meme_terminal = etat.possible && sortie_sur_le_terminal();
  // A cursor that cannot be followed through the lines gets no line.
  if (etat.meme_terminal && !curseur_suivable()) etat.possible = false;
  etat.curseur_connu = !etat.meme_terminal;
  etat.en_attente = false;
  etat.largeur_suivie = 0;
  etat.lot.reserve(kLot + 4096);
  vers_le_terminal =
      etat.possible && etat.meme_terminal ? ecrire_lignes : nullptr;
  return etat.possible;
}

void statut_point(double t, int64_t n) {
  etat.point_s = t;
  if (!etat.possible || t - etat.debut_s < 1.0 ||
      t - etat.texte_s < kIntervalle)
    return;
  etat.texte_s = t;
  composer(t, n);
}

// Where the lines go to the same terminal, only below a known cursor with no
// wrap pending, at the width it was followed at.
void statut_montrer() {
  const int w = largeur();
  if (!etat.texte_neuf || !dessinable(w)) return;
  if (etat.meme_terminal && !curseur_sur(w)) return;
  ecrire_terminal(2, dessin(w, etat.meme_terminal && etat.colonne == 0), true);
}

// The time from the last tick to the resume counts as stopped: at most one
// tick of work is left out with it.
void statut_reprise(double t, bool apres_ctrl_z) {
  etat.debut_s += t - etat.point_s;
  etat.point_s = t;
  etat.texte_s = 0;
  etat.retenu = 0;
  if (apres_ctrl_z && etat.meme_terminal) {
    etat.colonne = 0;
    etat.en_attente = false;
    etat.largeur_suivie = largeur();
    etat.curseur_connu = etat.largeur_suivie >= 2;
  }
}

void statut_redimension() {
  effacer(true);
  etat.texte_s = 0;
  etat.calme_s = maintenant() + 1.0;
}

void statut_effacer_en_urgence() {
  etat.retenu = 1;
  if (etat.affiche == 0) return;
  etat.affiche = 0;
  ecrire_tout(2, kEffacement, sizeof kEffacement - 1);
}

void statut_fin() {
  effacer();
  vers_le_terminal = nullptr;
  etat.possible = false;
}
