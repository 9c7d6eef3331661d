// End-to-end: the built program fed through a pipe or a regular file, every
// byte of its output and its exit status compared with the transcript; and at
// a pseudo-terminal, where each prompt must show before the program waits,
// Ctrl-C stops a listing, and the status line leaves the screen as it was.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <sstream>
#include <thread>
#include <vector>

#ifdef KELVARO_VTERM
#include <vterm.h>
#endif

#include "console.h"
#include "processus.h"

namespace {

using namespace texte;

const std::string kBanniere =
    " \n   POUR MODIFIER LA TAILLE DU TEXTE ET DE LA FENETRE : [TOUCHE CTRL] + "
    "[MOLETTE DE LA SOURIS]. "
    " \n \n \t  *****     KELVARO     (Tri selon la parite des sommes)     "
    "***** "
    " \n \n \n \t  Etant donne un entier N. "
    " \n \t  Le programme initial permet de trouver toutes les sommes de ses "
    "diviseurs (excepte N) egales a N ou a un autre nombre entier choisi. "
    " \n \n \t  N etant compris entre 2 valeurs que l'on fixe au depart. "
    " \n \n \t  Une parite etant choisie pour la somme des diviseurs de N. "
    " \n \n \t  Cette extension affiche par ordre croissant les valeurs de N "
    "dont les sommes des diviseurs ont la parite choisie.  "
    " \n \t  Chaque valeur de N est suivie du nombre de ses diviseurs ainsi "
    "que dela somme de ceux-ci.  "
    " \n \n \t  Kelvaro pour Linux, ecrit en C++ : resultats exacts pour tout "
    "N de 1 a 9223372036854775807. ";

// One calculation with parity `parite`: its questions (the maximum asked
// `max` times), its header, its result lines ("N count sum") and the repeat
// question.
std::string dialogue(int parite, std::initializer_list<const char*> l,
                     int max = 1) {
  std::string t = kMin;
  for (int m = 0; m < max; ++m) t += kMax;
  return t + kParite + kEntete[parite] + lignes(l) + kNouveau;
}

const std::string k1a6 =
    dialogue(0, {"1 1 1", "2 2 3", "3 2 4", "4 3 7", "5 2 6", "6 4 12"});
const char* const kLent = "1000000000000000000 361 2499995231628286897";

TEST(Programme, TranscriptsMatchByteForByte) {
  const struct {
    const char* nom;
    std::string entree;
    int statut;
    std::string sortie;  // after the banner
    Bout bout = Bout::kTube;
    std::string guetter{};  // a line that must come at once, not at the end
  } cas[] = {
      {"full_session", "1\n6\n0\n0\n", 1, k1a6},
      {"odd_sums", "1 10 1 0", 1,
       dialogue(1, {"1 1 1", "2 2 3", "4 3 7", "8 4 15", "9 3 13"})},
      {"even_sums", "1 10 2 0", 1,
       dialogue(2, {"3 2 4", "5 2 6", "6 4 12", "7 2 8", "10 4 18"})},
      {"nothing_qualifies", "3 3 1 0", 1, dialogue(1, {})},
      {"maximum_asked_again", "10 3 10 2 0", 1, dialogue(2, {"10 4 18"}, 2)},
      {"junk_everywhere", "0 -1 x +01 +2 0 1 abc +2 5 - 1 7 Oui 2", 2,
       kMin + kMin + kMin + kMin + kMin + kMax + kMax + kMax + kMax + kParite +
           kParite + kParite + kEntete[1] + lignes({"2 2 3"}) + kNouveau +
           kNouveau + kNouveau + kNouveau + "\n"},
      {"two_calculations", "1 6 0 1 2 2 0 0", 1, k1a6 + dialogue(0, {"2 2 3"})},
      {"regular_file", "1 6 0 0\n", 2, kMin + "\n", Bout::kFichier},
      // The walk ends at the largest N without passing it.
      {"up_to_the_largest_n", "9223372036854775806 9223372036854775807 0 0", 1,
       dialogue(0, {"9223372036854775806 16 18446744108069289984",
                    "9223372036854775807 96 10994507040830097408"})},
      // Only the first N qualifies, and the walk goes on a second or more.
      {"slow_listing_first_line_at_once",
       "1000000000000000000 1000000000000300000 1 0", 1, dialogue(1, {kLent}),
       Bout::kTube, lignes({kLent})}};
  for (const auto& t : cas) {
    SCOPED_TRACE(t.nom);
    const Execution r =
        executer({.debut = t.entree, .entree = t.bout, .guetter = t.guetter});
    EXPECT_EQ(r.sortie, kBanniere + t.sortie);
    EXPECT_EQ(r.statut, t.statut);
    EXPECT_EQ(r.erreurs, "");
    if (t.guetter.empty()) continue;
    ASSERT_GT(r.duree, 1.5) << "too short a listing to tell";
    EXPECT_LT(r.delai, 1.0);
  }
}

// Starts the program on a new pseudo-terminal of 24 rows and `colonnes`
// columns with `modes` (the kernel's defaults when null), standard error on
// /dev/null when `sans_erreurs`; leaves the master side in `maitre`.
pid_t lancer(int& maitre, const termios* modes, unsigned short colonnes,
             bool sans_erreurs) {
  winsize taille = {24, colonnes, 0, 0};
  const pid_t pid = forkpty(&maitre, nullptr, modes, &taille);
  if (pid == 0) {
    if (sans_erreurs) dup2(open("/dev/null", O_WRONLY), 2);
    executer_programme();
  }
  return pid;
}

// Reads from the terminal until `vu` holds `attendu` at `depuis` or after,
// or `limite` passed; returns where it ends, or npos.
size_t attendre(int maitre, std::string& vu, const std::string& attendu,
                Horloge::time_point limite, size_t depuis = 0) {
  char tampon[4096];
  size_t ou;
  while ((ou = vu.find(attendu, depuis)) == std::string::npos) {
    pollfd attente = {maitre, POLLIN, 0};
    if (Horloge::now() > limite) return ou;
    if (poll(&attente, 1, 100) == 0) continue;
    const ssize_t n = read(maitre, tampon, sizeof tampon);
    if (n <= 0) return std::string::npos;
    vu.append(tampon, static_cast<size_t>(n));
  }
  return ou + attendu.size();
}

// The listing's part of `vu`: from the header for odd sums to the repeat
// question that follows it.
std::string liste(const std::string& vu) {
  const size_t debut = vu.find(kEntete[1]) + kEntete[1].size();
  return vu.substr(debut, vu.find(kNouveau, debut) - debut);
}

// Each row alternates a text the output must come to hold, after the one
// before, and what is then typed. Nothing is typed before the prompt shows,
// so a prompt left in the output buffer stops the test. The terminal hands
// over whole lines; before a Ctrl-C the output is left unread a while, as a
// busy terminal leaves it (and throws it away at Ctrl-C unless the program
// asks it not to). Ctrl-C in a listing of 10^8 N stops the walk, and every
// line listed is whole and as a pipe gets it; at a question it ends the
// process by the signal.
TEST(Terminal, PromptsShowTypeAheadIsKeptCtrlDEndsCtrlCStopsAListing) {
  const std::string kMille = "\n \n \t 1000 \t";
  const struct {
    const char* nom;
    int statut;
    std::vector<std::string> pas;
  } cas[] = {
      // Two answers on one line: the maximum is asked once, answered already.
      {"two_answers_on_one_line",
       1,
       {kMin, "5 5\n", kMax + kParite, "0\n", lignes({"5 2 6"}) + kNouveau,
        "0\n"}},
      {"ctrl_d_after_refused_token",
       2,
       {kMin, "5 5 x\n", kParite + kParite, "\x04", "\n", ""}},
      {"ctrl_c_then_0_ends",
       1,
       {kMin, "1 100000000 1\n", kMille, "\x03", kNouveau, "0\n"}},
      {"ctrl_c_then_1_starts_anew",
       -SIGINT,
       {kMin, "1 100000000 1\n", kMille, "\x03", kNouveau, "1\n", kMin,
        "\x03"}}};
  for (const auto& l : cas) {
    SCOPED_TRACE(l.nom);
    termios modes{};
    cfmakeraw(&modes);
    modes.c_lflag |= ICANON | ISIG;
    modes.c_cc[VEOF] = 4;   // Ctrl-D
    modes.c_cc[VINTR] = 3;  // Ctrl-C
    int maitre = -1;
    const pid_t pid = lancer(maitre, &modes, 80, true);
    ASSERT_GE(pid, 0);
    const auto limite = Horloge::now() + std::chrono::seconds(60);
    std::string vu;
    for (size_t p = 0, depuis = 0; p < l.pas.size(); p += 2) {
      depuis = attendre(maitre, vu, l.pas[p], limite, depuis);
      ASSERT_NE(depuis, std::string::npos) << vu;
      const std::string& tape = l.pas[p + 1];
      if (tape == "\x03")
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
      ASSERT_EQ(tape.empty() ? 0 : write(maitre, tape.data(), tape.size()),
                static_cast<ssize_t>(tape.size()));
    }
    EXPECT_EQ(attendre_fin(pid, limite, nullptr), l.statut);
    close(maitre);
    if (vu.find(kEntete[1]) == std::string::npos) continue;

    // The same listing through a pipe, up to the last N listed.
    const std::string lu = liste(vu);
    std::istringstream derniere(lu.substr(lu.rfind("\n \n \t ")));
    std::string nN, tiret, deux_points, dernier_N;
    derniere >> nN >> tiret >> deux_points >> dernier_N;
    ASSERT_LT(std::stoll(dernier_N), 100000000);
    const Execution r = executer({.debut = "1 " + dernier_N + " 1 0"});
    EXPECT_EQ(lu, liste(r.sortie));
  }
}

#ifdef KELVARO_VTERM
// The screen of 24 rows and `colonnes` columns that a terminal emulator
// shows after `octets`, cell by cell, row by row, then where the cursor is.
std::string ecran(const std::string& octets, int colonnes) {
  VTerm* vt = vterm_new(24, colonnes);
  vterm_set_utf8(vt, 1);
  VTermScreen* e = vterm_obtain_screen(vt);
  vterm_screen_reset(e, 1);
  vterm_input_write(vt, octets.data(), octets.size());
  std::string t;
  VTermPos p{};
  for (p.row = 0; p.row < 24; ++p.row, t += '\n') {
    for (p.col = 0; p.col < colonnes; ++p.col) {
      VTermScreenCell c{};
      vterm_screen_get_cell(e, p, &c);
      t += c.chars[0] == 0 ? ' ' : static_cast<char>(c.chars[0]);
    }
  }
  vterm_state_get_cursorpos(vterm_obtain_state(vt), &p);
  t += "cursor " + std::to_string(p.row) + "," + std::to_string(p.col);
  vterm_free(vt);
  return t;
}
#endif

// A listing at a terminal, run with standard error on the terminal and then
// on /dev/null: the status line shows in the first run, and the final
// screens are the same. Only N = 10^12 qualifies, 10^6 N into the walk; its
// line ends on the last of 87 columns, leaving a wrap pending, and the walk
// goes on 600000 N more with the status line below it.
TEST(Terminal, StatusLineShowsAndLeavesTheScreenAsItWas) {
#ifndef KELVARO_VTERM
  GTEST_SKIP() << "libvterm is missing for this build's target (Debian: "
                  "libvterm-dev, or libvterm-dev:arm64 for an arm64 build)";
#else
  constexpr unsigned short kColonnes = 87;
  std::string vu[2];
  for (int sans_erreurs = 0; sans_erreurs < 2; ++sans_erreurs) {
    std::string& v = vu[sans_erreurs];
    int maitre = -1;
    const pid_t pid = lancer(maitre, nullptr, kColonnes, sans_erreurs == 1);
    ASSERT_GE(pid, 0);
    const auto limite = Horloge::now() + std::chrono::seconds(60);
    ASSERT_NE(attendre(maitre, v, "minimale ? ", limite), std::string::npos);
    const std::string reponses = "999999000000 1000000600000 1 0\n";
    ASSERT_EQ(write(maitre, reponses.data(), reponses.size()),
              static_cast<ssize_t>(reponses.size()));
    // To the end of the output: the awaited text never comes.
    EXPECT_EQ(attendre(maitre, v, "\x01", limite), std::string::npos);
    EXPECT_EQ(attendre_fin(pid, limite, nullptr), 1);
    close(maitre);
  }
  EXPECT_NE(vu[0].find(" N/s "), std::string::npos) << "no status line seen";
  EXPECT_EQ(ecran(vu[0], kColonnes), ecran(vu[1], kColonnes));
#endif
}

}  // namespace
