// The program at a terminal. At a pseudo-terminal: each prompt shows before
// the program waits, Ctrl-C stops a listing, and whatever ends or stops the
// program leaves the terminal's modes and its screen (rendered by libvterm)
// as they were.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#ifdef KELVARO_VTERM
#include <vterm.h>
#endif

#include "console.h"
#include "processus.h"
#include "terminal/horloge.h"
#include "terminal/statut.h"

namespace {

using namespace texte;
using std::chrono::milliseconds;

// Each text of the status line the program draws comes after a CR that no
// LF follows, and runs to the next escape sequence.
const std::string kTexte = "\rN = ";

// Where standard output goes, beside the terminal.
enum class Sortie { kTerminal, kNulle, kTube };

// How the program is started on a new pseudo-terminal of 24 rows.
struct Depart {
  unsigned short colonnes = 80;
  const termios* modes = nullptr;  // the kernel's defaults when null
  const char* terme = "xterm";     // TERM
  bool sans_erreurs = false;       // standard error on /dev/null
  Sortie sortie = Sortie::kTerminal;
  bool sigint_ignore = false;  // inherited, as `(trap "" INT; kelvaro)` has it
  // Run by sh with job control, which prints "fin" and the status when the
  // program stops or ends, reads a line, and brings it back with `fg`.
  bool sous_shell = false;
  const char* entree = nullptr;  // standard input: a pipe holding this text
  const char* fils = nullptr;    // KELVARO_FILS
};

// The program on its terminal: the master side, the slave side kept open so
// that the terminal's modes outlive the program, the read end of standard
// output when it is a pipe, and everything the terminal received.
struct Terminal {
  pid_t pid = -1;
  int maitre = -1, esclave = -1, tube = -1;
  std::string vu;
  std::vector<std::pair<size_t, int>> largeurs;  // from where in vu, width
  Horloge::time_point limite = Horloge::now() + kDelaiTerminal;
  Horloge::time_point premier_dessin{};  // when the status line first came
  ~Terminal() {
    for (const int fd : {maitre, esclave, tube})
      if (fd >= 0) close(fd);
  }
};

void lancer(Terminal& t, const Depart& d) {
  int tube[2] = {-1, -1};
  if (d.sortie == Sortie::kTube && pipe(tube) != 0) std::abort();
  const std::string script = "set -m; " + commande_programme() +
                             "; echo \"fin $?\"; read x; fg; echo \"fin $?\"";
  winsize taille = {24, d.colonnes, 0, 0};
  t.pid = forkpty(&t.maitre, nullptr, d.modes, &taille);
  if (t.pid == 0) {
    setenv("TERM", d.terme, 1);
    if (d.fils != nullptr) setenv("KELVARO_FILS", d.fils, 1);
    signal(SIGPIPE, SIG_DFL);  // executer ignores it in the tests' process
    signal(SIGINT, d.sigint_ignore ? SIG_IGN : SIG_DFL);
    const rlimit sans_core = {0, 0};  // Ctrl-\ dumps no core
    setrlimit(RLIMIT_CORE, &sans_core);
    if (d.sans_erreurs) dup2(open("/dev/null", O_WRONLY), 2);
    if (d.sortie == Sortie::kNulle) dup2(open("/dev/null", O_WRONLY), 1);
    if (d.sortie == Sortie::kTube) {
      dup2(tube[1], 1);
      close(tube[0]);  // else the program keeps its own reader
      close(tube[1]);
    }
    int reponses[2];  // a few bytes: the pipe takes them at once
    if (d.entree != nullptr &&
        (pipe(reponses) != 0 || dup2(reponses[0], 0) != 0 ||
         write(reponses[1], d.entree, strlen(d.entree)) < 0 ||
         close(reponses[1]) != 0))
      _exit(127);
    if (d.sous_shell)
      execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
    else
      lancer_programme();
    _exit(127);
  }
  if (tube[1] >= 0) close(tube[1]);
  t.tube = tube[0];
  t.esclave = open(ptsname(t.maitre), O_RDWR | O_NOCTTY);
  t.largeurs = {{0, d.colonnes}};
}

// Reads what the terminal shows within `ms` milliseconds, at most `taille`
// bytes of it, and empties the pipe of standard output; returns whether the
// terminal showed anything.
bool lire(Terminal& t, int ms, size_t taille = 65536) {
  pollfd attente[2] = {{t.maitre, POLLIN, 0}, {t.tube, POLLIN, 0}};
  if (poll(attente, t.tube >= 0 ? 2 : 1, ms) <= 0) return false;
  char tampon[65536];
  if (t.tube >= 0 && (attente[1].revents & (POLLIN | POLLHUP)) != 0 &&
      read(t.tube, tampon, sizeof tampon) <= 0) {
    close(t.tube);
    t.tube = -1;
  }
  if ((attente[0].revents & POLLIN) == 0) return false;
  const ssize_t n = read(t.maitre, tampon, std::min(taille, sizeof tampon));
  if (n <= 0) return false;
  const size_t avant = t.vu.size();  // the new bytes, and the one before
  t.vu.append(tampon, static_cast<size_t>(n));
  if (t.premier_dessin == Horloge::time_point{} &&
      t.vu.find(kTexte, avant < kTexte.size() ? 0 : avant - kTexte.size()) !=
          std::string::npos)
    t.premier_dessin = Horloge::now();
  return true;
}

// Reads until the terminal has shown `attendu` at `depuis` or after, each
// byte searched about once; returns where it ends, or npos past the limit.
size_t attendre(Terminal& t, const std::string& attendu, size_t depuis = 0) {
  size_t ou;
  while ((ou = t.vu.find(attendu, depuis)) == std::string::npos) {
    if (Horloge::now() > t.limite) return ou;
    depuis = std::max(depuis + attendu.size(), t.vu.size()) - attendu.size();
    lire(t, 100);
  }
  return ou + attendu.size();
}

// Reads until the program has ended and its last bytes are in; returns its
// status (minus the signal that ended it, kTue when it had to be killed).
int finir(Terminal& t) {
  int etat = 0;
  while (waitpid(t.pid, &etat, WNOHANG) != t.pid) {
    if (Horloge::now() > t.limite)
      return attendre_fin(t.pid, t.limite, nullptr);
    lire(t, 20);
  }
  while (lire(t, 100)) {
  }
  return WIFEXITED(etat) ? WEXITSTATUS(etat) : -WTERMSIG(etat);
}

void taper(const Terminal& t, const std::string& texte) {
  ASSERT_EQ(write(t.maitre, texte.data(), texte.size()),
            static_cast<ssize_t>(texte.size()));
}

// The terminal's modes, readable in a failure message.
std::string modes(int fd) {
  termios m{};
  if (tcgetattr(fd, &m) != 0) return "unreadable";
  std::ostringstream o;
  o << std::hex << "iflag " << m.c_iflag << " oflag " << m.c_oflag << " cflag "
    << m.c_cflag << " lflag " << m.c_lflag << " cc";
  for (const cc_t c : m.c_cc) o << ' ' << static_cast<int>(c);
  return o.str();
}

bool noflsh(int fd) {
  termios m{};
  return tcgetattr(fd, &m) == 0 && (m.c_lflag & NOFLSH) != 0;
}

// What the program writes to erase the status line, and how every erasing
// ends, the one after a change of the terminal's width too.
const std::string kFinEffacement = "\033[J";

// The bytes the listing wrote, without the status line: every escape
// sequence, every text of the line and every VT (the rows it makes room
// for) taken out.
std::string sans_statut(const std::string& vu) {
  std::string t;
  for (size_t i = 0; i < vu.size();) {
    if (vu.compare(i, 2, "\033[") == 0) {
      i = vu.find_first_not_of("0123456789;", i + 2) + 1;
    } else if (vu[i] == '\033') {
      i += 2;
    } else if (vu.compare(i, 2, "\r\n") != 0 && vu[i] == '\r') {
      i = std::min(vu.find('\033', i), vu.size());
    } else {
      if (vu[i] != '\v') t += vu[i];
      ++i;
    }
  }
  return t;
}

// Each text of the status line keeps out of the last column (a terminal
// that wraps there at once would scroll): narrower than the width in force,
// which a resize changes once the line drawn before it is erased.
void verifier_textes(const Terminal& t) {
  size_t changement = 0;  // the next width from the first erasing after it
  int w = t.largeurs[0].second;
  for (size_t i = 0; (i = t.vu.find(kTexte, i)) != std::string::npos; ++i) {
    while (changement + 1 < t.largeurs.size() &&
           t.vu.find(kFinEffacement, t.largeurs[changement + 1].first) < i)
      w = t.largeurs[++changement].second;
    const size_t fin = t.vu.find('\033', i);
    ASSERT_NE(fin, std::string::npos) << t.vu.substr(i, 200);
    EXPECT_LT(fin - i - 1, static_cast<size_t>(w)) << t.vu.substr(i, fin - i);
  }
}

#ifdef KELVARO_VTERM
// A terminal emulator's screen of 24 rows, fed as the bytes come.
class Ecran {
 public:
  explicit Ecran(int colonnes) : w_(colonnes), vt_(vterm_new(24, colonnes)) {
    vterm_set_utf8(vt_, 1);
    vterm_screen_reset(vterm_obtain_screen(vt_), 1);
  }
  ~Ecran() { vterm_free(vt_); }
  Ecran(const Ecran&) = delete;
  Ecran& operator=(const Ecran&) = delete;
  void ajouter(const char* octets, size_t n) {
    vterm_input_write(vt_, octets, n);
  }
  std::string rang(int r) const {
    std::string t;
    VTermPos p{r, 0};
    for (; p.col < w_; ++p.col) {
      VTermScreenCell c{};
      vterm_screen_get_cell(vterm_obtain_screen(vt_), p, &c);
      t += c.chars[0] == 0 ? ' ' : static_cast<char>(c.chars[0]);
    }
    return t;
  }
  VTermPos curseur() const {
    VTermPos p{};
    vterm_state_get_cursorpos(vterm_obtain_state(vt_), &p);
    return p;
  }
  // Cell by cell, row by row, then where the cursor is.
  std::string texte() const {
    std::string t;
    for (int r = 0; r < 24; ++r) t += rang(r) + '\n';
    const VTermPos p = curseur();
    return t + "cursor " + std::to_string(p.row) + "," + std::to_string(p.col);
  }

 private:
  int w_;
  VTerm* vt_;
};

// The screen that a terminal emulator `colonnes` wide shows after `octets`:
// the last 256 KiB of a long output, from a newline (npos + 1 = 0: all of a
// short one). The program sets no terminal mode, so the rows left on the
// screen were written there; megabytes at once overflow libvterm's stack.
std::string ecran(const std::string& octets, int colonnes) {
  Ecran e(colonnes);
  const size_t debut = octets.find('\n', octets.size() - (1 << 18)) + 1;
  e.ajouter(octets.data() + debut, octets.size() - debut);
  return e.texte();
}

// The status line stands below the listing: one row of the screen starts
// as its text does, and only blank rows lie under it. (The cursor may be
// under it too, while room is made for the next rows.)
bool statut_sous_la_liste(const Ecran& e) {
  int ligne = -1;
  for (int r = 0; r < 24; ++r) {
    const std::string s = e.rang(r);
    if (s.compare(0, 4, "N = ") == 0) {
      if (ligne >= 0) return false;
      ligne = r;
    } else if (ligne >= 0 && s.find_first_not_of(' ') != std::string::npos) {
      return false;
    }
  }
  return ligne >= 0;
}

// Whether a screen still holds a piece of a status line.
bool garde_un_statut(const std::string& ecran) {
  for (const char* morceau : {"N/s", "reste ", "arreter la liste"})
    if (ecran.find(morceau) != std::string::npos) return true;
  return false;
}
#endif

// A text of the status line, whatever else it holds.
const std::string kStatut = " N/s   reste ";

// One step of a row below: what the terminal must come to show, after the
// step before, then what is done. Checked first when asked: NOFLSH set, or
// NOFLSH clear and no status line on the screen.
struct Pas {
  std::string attendu;
  std::string tape{};           // typed
  int signal = 0;               // or sent to the program
  bool fermer_sortie = false;   // or the reader of standard output leaves
  int pause_ms = 0;             // waited before doing it
  int noflsh = -1;              // 1 set, 0 clear and screen clean, -1 unchecked
  unsigned short colonnes = 0;  // or the terminal is made this wide
  int delai_ms = 0;             // attendu must then come within this time
};

struct Scene {
  const char* nom;
  Depart depart;
  std::vector<Pas> pas;
  int statut;            // of the program, or of the shell that ran it
  std::string jamais{};  // never written to the terminal
  bool rythme = false;   // the pace after a stop of 2 s is the pace before
};
void PrintTo(const Scene& s, std::ostream* o) { *o << s.nom; }

// Texts the terminal shows (its newlines become CR LF): the first question
// and the repeat question.
const std::string kQuestion = "minimale ? ";
const std::string kEncore = "Nouveau calcul";

// Even sums near 2^63, each N with its line: 2 * 10^6 N, some 200 MB of
// lines, outlast at a terminal any scene that stops them; the last
// 3 * 10^5 N up to 2^63 - 1 (10^5 under an emulator) show the status line,
// then end on the line of 2^63 - 1, whose six-digit index makes it 107 wide.
const std::string kPaires = "9223372036852775807 9223372036854775807 2\n";
// 10^9 N there: minutes of lines, even on every core with no terminal to
// write them to (10^7 took 2 s on two cores, and a scene's 2.5 s outlasted
// them).
const std::string kLongue = "9223372035854775807 9223372036854775807 2\n";
const std::string kJusquauBout =
    std::size(kEmulateur) > 1 ? "9223372036854675807 9223372036854775807 2 0"
                              : "9223372036854475807 9223372036854775807 2 0";

// Modes where the terminal hands over whole lines and writes the output
// as it comes, newlines included, echoing nothing.
const termios kBrut = [] {
  termios m{};
  cfmakeraw(&m);
  m.c_lflag |= ICANON | ISIG;
  m.c_cc[VEOF] = 4;   // Ctrl-D
  m.c_cc[VINTR] = 3;  // Ctrl-C
  return m;
}();
const Depart kLignes = {.modes = &kBrut, .sans_erreurs = true};
const std::string kMille = "\n \n \t 1000 \t";

const Scene kScenes[] = {
    // The listing ends on the line of 2^63 - 1, which fills its row to the
    // last of 107 columns, leaving a wrap pending.
    {.nom = "listing_ends_with_a_wrap_pending",
     .depart = {.colonnes = 107},
     .pas = {{kQuestion, kJusquauBout + "\n"}},
     .statut = 1},
    // Each prompt shows before the program waits. Two answers on one line:
    // the maximum is asked once, answered already.
    {"two_answers_on_one_line",
     kLignes,
     {{kMin, "5 5\n"},
      {kMax + kParite, "0\n"},
      {lignes({"5 2 6"}) + kNouveau, "0\n"}},
     1},
    // Ctrl-C in a listing of 2 * 10^6 N stops the walk; at a question it ends
    // the process by the signal.
    {"ctrl_c_then_1_starts_anew",
     kLignes,
     {{kMin, kPaires}, {kMille, "\x03"}, {kNouveau, "1\n"}, {kMin, "\x03"}},
     -SIGINT},
    // With the answers through a pipe, Ctrl-C cannot stop the listing for a
    // question that would read the pipe's end: it ends the program.
    {"sigint_with_answers_through_a_pipe",
     {.entree = "9223372036852775807 9223372036854775807 2\n"},
     {{kStatut, "", SIGINT}},
     -SIGINT},
    // Narrowed while the lines flow, the terminal loses the line at once, and
    // gets it again cut to its new width.
    {.nom = "narrowed_while_the_lines_flow",
     .depart = {.colonnes = 107},
     .pas = {{kQuestion, kLongue},
             {kStatut},
             {kStatut, "", 0, false, 0, -1, 60},
             {.attendu = kFinEffacement, .delai_ms = 120},
             {kStatut},
             {kStatut, "", SIGTERM}},
     .statut = -SIGTERM},
    {"ctrl_backslash_during_listing",
     {},
     {{kQuestion, kPaires}, {kStatut, "\x1c"}},
     -SIGQUIT},
    // The prompts go to the pipe: the answers are typed at once. Into a
    // pipe read at once, the 2 * 10^6 N of kPaires may end within the second
    // that comes before the status line.
    {"stdout_reader_gone_during_listing",
     {.sortie = Sortie::kTube},
     {{"", kLongue}, {kStatut, "", 0, true}},
     -SIGPIPE},
    {.nom = "ctrl_z_then_fg_then_ctrl_c",
     .depart = {.sous_shell = true},
     .pas = {{kQuestion, kPaires},
             {kStatut, "\x1a"},
             {"fin 148", "\n", 0, false, 2000, 0},
             {kStatut, "\x03", 0, false, 0, 1},
             {kEncore, "0\n"},
             {"fin 1"}},
     .statut = 0,
     .rythme = true},
    // What was typed during the listing is not taken for answers: the
    // question comes once. (The terminal's echo of the typed text may be
    // cut by the lines that flow, and is not waited for.)
    {"ctrl_c_after_typed_text_then_0",
     {},
     {{kQuestion, kPaires},
      {kStatut, "hello world"},
      {"", "\x03", 0, false, 200},
      {kEncore, "0\n"}},
     1,
     "Non[0] ? :   \r\n \r\n \r\n \t Nouveau"},
    {"term_dumb",
     {.terme = "dumb"},
     {{kQuestion, kPaires},
      {"paires sont :", "\x03", 0, false, 1500},
      {kEncore, "0\n"}},
     1,
     "\033"},
    {"sigint_ignored",
     {.sigint_ignore = true},
     {{kQuestion, kPaires}, {kStatut, "", SIGTERM}},
     -SIGTERM,
     "arreter la liste"},
    // Lines written every 100 ms elsewhere do not make it redraw.
    {"stdout_not_the_terminal",
     {.sortie = Sortie::kNulle},
     {{"", kLongue}, {kStatut, "", SIGTERM, false, 2500}},
     -SIGTERM},
};

// The N per second of the status line drawn last before `ou` (apres: first
// after it); 0 when there is none.
double rythme(const std::string& vu, size_t ou, bool apres) {
  const size_t fin = apres ? vu.find(" N/s", ou) : vu.rfind(" N/s", ou);
  if (fin == std::string::npos) return 0;
  size_t debut = fin;
  while (debut > 0 && std::isdigit(static_cast<unsigned char>(vu[debut - 1])))
    --debut;
  return std::strtod(vu.substr(debut, fin - debut).c_str(), nullptr);
}

// The time left on the status line: hours below a day, then days; nothing
// that is not a duration.
TEST(Statut, TimeLeftCountsDaysPastTheHours) {
  const std::pair<double, const char*> lignes[] = {
      {0, "0:00:00"},
      {59.5, "0:01:00"},
      {86399, "23:59:59"},
      {86400, "1 j 00:00:00"},
      {2893428.0 * 86400 + 51288, "2893428 j 14:14:48"},
      {-1, "?"},
      {1e15, "?"},
      {std::nan(""), "?"}};
  for (const auto& [secondes, texte] : lignes)
    EXPECT_EQ(duree(secondes), texte) << secondes;
}

// How far the cursor of a terminal 10 columns wide goes down through a text:
// the rows, and the column and wrap state it ends in; -1 where terminals
// disagree.
TEST(Statut, CursorFollowedThroughTheLastColumn) {
  struct Ligne {
    const char* texte;
    int colonne;  // at the start, no wrap pending
    int rangs, fin;
    bool attente;
  };
  const Ligne lignes[] = {
      {"abcdefghi", 0, 0, 9, false},     // one short of the last column
      {"abcdefghij", 0, 0, 9, true},     // the last column: a wrap pending
      {"abcdefghijk", 0, 1, 1, false},   // the wrap, then one character
      {"abcdefghij\n", 0, 1, 0, false},  // a newline after a pending wrap
      {"abcdefghij\r", 0, 0, 0, false},  // CR drops the wrap too
      {"\t", 0, 0, 8, false},            // tab stops every 8 columns
      {"\t", 8, 0, 9, false},            // the last one at the last column
      {"\t", 9, 0, 9, false},
      {"a\tb", 8, 0, 9, true},
      {"abcdefghij\t", 0, -1, 0, false},  // a tab with a wrap pending
      {"ab\033[J", 0, -1, 0, false},      // any other control byte
      {"\n\n \n", 3, 3, 0, false},
      // runs longer than a row, with what ends them past eight bytes
      {"abcdefghijklmnopqrstuvwxyz", 0, 2, 6, false},
      {"abcdefghijklmnopqrst", 0, 1, 9, true},
      {"abcdefghijk\tmn", 0, 1, 9, true},
      {"abcdefghijkl\x7fmn", 0, -1, 0, false},
      {"abcdefghijkl\xc3\xa9", 0, -1, 0, false},
      {"abcdefghijkl\x1fmn", 0, -1, 0, false}};
  for (const Ligne& l : lignes) {
    int colonne = l.colonne;
    bool attente = false;
    const int rangs =
        descente(l.texte, std::strlen(l.texte), 10, colonne, attente);
    EXPECT_EQ(rangs, l.rangs) << l.texte;
    if (rangs >= 0) {
      EXPECT_EQ(colonne, l.fin) << l.texte;
      EXPECT_EQ(attente, l.attente) << l.texte;
    }
  }
}

#ifdef KELVARO_VTERM
// Writes of every kind the listing's output makes, one after the other, in
// a child whose standard output and error are a pseudo-terminal 40 columns
// wide: after each, the status line is the row below the cursor with only
// blank rows under it; at the end, once it is erased, the screen is the
// bytes' alone. Each write: a new text of the line first or not, its bytes
// and its name. The first goes before the line has a text, as in the
// listing's first second.
struct Ecriture {
  bool texte;
  std::string octets;
  const char* nom;
};
const Ecriture kEcritures[] = {
    {false, "ligne 1\nligne 2\n", "before the line"},
    {true, "", "the line drawn alone"},
    {false,
     [] {
       std::string t;
       for (int k = 3; k <= 40; ++k) t += "ligne " + std::to_string(k) + "\n";
       return t;
     }(),
     "rows past a screen, under the line"},
    {false, "debut sans fin", "a line's start alone, on the cursor's row"},
    {false, " de ligne\nencore\n", "from the middle of a row"},
    {false, std::string(40, 'x'), "a row filled to the last column"},
    {false, "x suite\n", "the line's end, wrapped to the next row"},
    {false, "\n" + std::string(100, 'y') + "\nfin\n", "a line over three rows"},
    {false, "\tt\tt\n" + std::string(39, 'z') + "\t\n",
     "a tab at the last column"},
    {true, "texte neuf\n", "the line's new text, drawn under the row"}};

TEST(Statut, StandsBelowEveryKindOfWrite) {
  int canal[2];  // each side says when it is done with a step
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, canal), 0);
  winsize taille = {24, 40, 0, 0};
  int maitre = -1;
  const pid_t pid = forkpty(&maitre, nullptr, nullptr, &taille);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("TERM", "xterm", 1);
    sortie_capture = nullptr;
    statut_debut(1, 1000000, false);
    double t = maintenant() + 1;
    char c = 0;
    for (const Ecriture& ecriture : kEcritures) {
      t += ecriture.texte ? 1 : 0;
      if (ecriture.texte) statut_point(t, static_cast<int64_t>(t) * 1000);
      ecrire(ecriture.octets.data(), ecriture.octets.size());
      vider();
      statut_montrer();
      if (write(canal[1], "x", 1) != 1 || read(canal[1], &c, 1) != 1) _exit(1);
    }
    statut_fin();
    vider();
    _exit(write(canal[1], "x", 1) == 1 ? 0 : 1);
  }
  Ecran e(40);
  std::string lignes;
  auto lire_tout = [&] {
    char b[65536], c;
    pollfd attente = {canal[0], POLLIN, 0};
    const bool venu =
        poll(&attente, 1, 10000) == 1 && read(canal[0], &c, 1) == 1;
    // The step's bytes are all in the terminal once it has said it is done.
    for (pollfd m = {maitre, POLLIN, 0}; poll(&m, 1, 50) == 1;) {
      const ssize_t n = read(maitre, b, sizeof b);
      if (n <= 0) break;
      e.ajouter(b, static_cast<size_t>(n));
    }
    return venu;
  };
  for (const Ecriture& ecriture : kEcritures) {
    ASSERT_TRUE(lire_tout()) << ecriture.nom;
    lignes += ecriture.octets;
    // The line right below the cursor, once it has a text.
    EXPECT_TRUE(&ecriture == &kEcritures[0]
                    ? !garde_un_statut(e.texte())
                    : e.rang(e.curseur().row + 1).starts_with("N = ") &&
                          statut_sous_la_liste(e))
        << ecriture.nom << "\n"
        << e.texte();
    ASSERT_EQ(write(canal[0], "x", 1), 1);
  }
  ASSERT_TRUE(lire_tout());
  int etat = 0;
  EXPECT_EQ(waitpid(pid, &etat, 0), pid);
  EXPECT_EQ(etat, 0);
  // The bytes as the terminal gets them; a newline brings the cursor where
  // it would be without the line (see LeavesTheTerminalAsItWas).
  std::string attendu;
  for (const char c : lignes + "\nZ")
    attendu += c == '\n' ? std::string("\r\n") : std::string(1, c);
  e.ajouter("\r\nZ", 3);
  EXPECT_EQ(e.texte(), ecran(attendu, 40));
  for (const int fd : {maitre, canal[0], canal[1]}) close(fd);
}
#endif

// The listing's timer puts back the action SIGALRM had before it.
TEST(Horloge, TimerPutsBackTheActionOfSigalrm) {
  signal(SIGALRM, SIG_IGN);
  armer_tic();
  desarmer_tic();
  struct sigaction apres {};
  sigaction(SIGALRM, nullptr, &apres);
  EXPECT_EQ(apres.sa_handler, SIG_IGN);
  signal(SIGALRM, SIG_DFL);
}

class AuTerminal : public ::testing::TestWithParam<Scene> {};

// Each row answers the program at a terminal, and ends or stops it: the
// terminal's modes end as they began, no status line stays on the screen,
// the status tells how the program ended, and the line was drawn at most
// five times a second.
TEST_P(AuTerminal, LeavesTheTerminalAsItWas) {
  const Scene& s = GetParam();
  Terminal t;
  lancer(t, s.depart);
  ASSERT_GE(t.pid, 0);
  const std::string avant = modes(t.esclave);
  size_t depuis = 0;
  auto depuis_le_pas = Horloge::now();
  for (const Pas& p : s.pas) {
    depuis = attendre(t, p.attendu, depuis);
    ASSERT_NE(depuis, std::string::npos) << p.attendu << " never came";
    EXPECT_TRUE(p.delai_ms == 0 ||
                Horloge::now() - depuis_le_pas < milliseconds(p.delai_ms))
        << p.attendu << " came after "
        << (Horloge::now() - depuis_le_pas) / milliseconds(1) << " ms";
    EXPECT_TRUE(p.noflsh < 0 || noflsh(t.esclave) == (p.noflsh == 1))
        << "NOFLSH at " << p.attendu;
#ifdef KELVARO_VTERM
    const int w = t.largeurs.back().second;
    EXPECT_TRUE(p.noflsh != 0 || !garde_un_statut(ecran(t.vu, w)))
        << ecran(t.vu, w);
#endif
    const auto jusqua = Horloge::now() + milliseconds(p.pause_ms);
    while (Horloge::now() < jusqua) lire(t, 10);
    // Before a Ctrl-C the output is left unread a while, as a busy terminal
    // leaves it, and throws it away at Ctrl-C unless the program asks not to.
    if (p.tape == "\x03") std::this_thread::sleep_for(milliseconds(300));
    taper(t, p.tape);
    if (p.signal != 0) kill(t.pid, p.signal);
    if (p.fermer_sortie) close(std::exchange(t.tube, -1));
    if (p.colonnes != 0) {
      const winsize taille = {24, p.colonnes, 0, 0};
      while (lire(t, 0)) {
      }
      depuis = t.vu.size();
      t.largeurs.emplace_back(depuis, p.colonnes);
      ASSERT_EQ(ioctl(t.maitre, TIOCSWINSZ, &taille), 0);
    }
    depuis_le_pas = Horloge::now();
  }
  EXPECT_EQ(finir(t), s.statut);
  EXPECT_EQ(modes(t.esclave), avant);
  verifier_textes(t);
#ifdef KELVARO_VTERM
  const int w = t.largeurs.back().second;
  const std::string ecran_final = ecran(t.vu, w);
  EXPECT_FALSE(garde_un_statut(ecran_final)) << ecran_final;
  // The screen the listing alone would leave; the newline takes the cursor
  // to the row below, where a listing that ends with the line erased at the
  // bottom row stands one row higher. Where the listing goes elsewhere or
  // the width changed on the way, the screens differ.
  if (s.depart.sortie == Sortie::kTerminal && t.largeurs.size() == 1) {
    EXPECT_EQ(ecran(t.vu + "\nZ", w), ecran(sans_statut(t.vu) + "\nZ", w));
  }
#endif
  EXPECT_TRUE(s.jamais.empty() || t.vu.find(s.jamais) == std::string::npos);
  // The text changes at most five times a second.
  int textes = 0;
  std::string dernier;
  for (size_t i = 0; (i = t.vu.find(kTexte, i)) != std::string::npos; ++i) {
    const std::string texte = t.vu.substr(i, t.vu.find('\033', i) - i);
    textes += texte != std::exchange(dernier, texte);
  }
  const std::chrono::duration<double> duree = Horloge::now() - t.premier_dessin;
  EXPECT_LE(textes, textes == 0 ? 0 : 5 * duree.count() + 3);
  if (s.rythme) {
    const size_t arret = t.vu.find("fin 148");
    EXPECT_GT(rythme(t.vu, arret, true), rythme(t.vu, arret, false) / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, AuTerminal, ::testing::ValuesIn(kScenes),
                         kNomDuCas);

#ifdef KELVARO_VTERM
// The last 3000 bytes the terminal received, readable: escapes as "~",
// VT as "|".
std::string dernier(const std::string& vu) {
  std::string t = vu.substr(vu.size() > 3000 ? vu.size() - 3000 : 0);
  std::replace(t.begin(), t.end(), '\033', '~');
  std::replace(t.begin(), t.end(), '\v', '|');
  return "\nlast bytes:\n" + t;
}

struct Largeur {
  const char* nom;
  unsigned short colonnes;
};
void PrintTo(const Largeur& l, std::ostream* o) { *o << l.nom; }
class Defilement : public ::testing::TestWithParam<Largeur> {};

// Lines flow as fast as this terminal takes them, read 4 KiB at a time, so
// that a read ends anywhere in the program's writes. From the first drawing
// of the status line on, for 2 s and 30 reads at the least (a program slower
// than the terminal writes at its ticks), the screen shows the line below
// the lines after every read; Ctrl-C, then 0, and the screen is the
// listing's alone.
TEST_P(Defilement, TheLineStandsBelowTheFlowingLines) {
  const unsigned short w = GetParam().colonnes;
  Terminal t;
  lancer(t, {.colonnes = w});
  ASSERT_GE(t.pid, 0);
  ASSERT_NE(attendre(t, kQuestion), std::string::npos);
  taper(t, kLongue);
  Ecran e(w);
  size_t lu = 0;
  int lectures = 0, manques = 0;
  std::string premier_manque;
  Horloge::time_point debut{};
  constexpr int kLectures = 30;  // at the least, and for 2 s at the least
  while (Horloge::now() < t.limite &&
         (debut == Horloge::time_point{} || lectures < kLectures ||
          Horloge::now() - debut < std::chrono::seconds(2))) {
    if (!lire(t, 100, 4096)) continue;
    e.ajouter(t.vu.data() + lu, t.vu.size() - lu);
    lu = t.vu.size();
    const bool vu = statut_sous_la_liste(e);
    if (debut == Horloge::time_point{}) {
      if (vu) debut = Horloge::now();
      continue;
    }
    ++lectures;
    if (!vu && manques++ == 0) premier_manque = e.texte() + dernier(t.vu);
  }
  EXPECT_GE(lectures, kLectures);
  EXPECT_EQ(manques, 0) << "of " << lectures << " reads, first:\n"
                        << premier_manque;
  taper(t, "\x03");
  ASSERT_NE(attendre(t, kEncore, lu), std::string::npos);
  taper(t, "0\n");
  EXPECT_EQ(finir(t), 1);
  EXPECT_EQ(ecran(t.vu + "\nZ", w), ecran(sans_statut(t.vu) + "\nZ", w));
}

// At 107 columns most lines end in the last column, leaving a wrap pending;
// at 80 every line wraps once and none ends there.
const Largeur kLargeurs[] = {{"most_lines_fill_the_row", 107},
                             {"every_line_wraps_once", 80}};
INSTANTIATE_TEST_SUITE_P(Largeurs, Defilement, ::testing::ValuesIn(kLargeurs),
                         kNomDuCas);
#endif

}  // namespace
