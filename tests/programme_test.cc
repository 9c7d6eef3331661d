// End-to-end: the built program fed through a pipe or a regular file, every
// byte of its output and its exit status compared with the transcript; and at
// a pseudo-terminal, where each prompt must show before the program waits.

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

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

TEST(Programme, TranscriptsMatchByteForByte) {
  const struct {
    const char* nom;
    std::string entree;
    int statut;
    std::string sortie;  // after the banner
    Bout bout = Bout::kTube;
  } cas[] = {
      {"full_session", "1\n6\n0\n0\n", 1, k1a6},
      {"odd_sums", "1 10 1 0", 1,
       dialogue(1, {"1 1 1", "2 2 3", "4 3 7", "8 4 15", "9 3 13"})},
      {"even_sums", "1 10 2 0", 1,
       dialogue(2, {"3 2 4", "5 2 6", "6 4 12", "7 2 8", "10 4 18"})},
      {"nothing_qualifies", "3 3 1 0", 1, dialogue(1, {})},
      {"min_equals_max", "5 5 0 0", 1, dialogue(0, {"5 2 6"})},
      {"maximum_asked_again", "10 3 10 2 0", 1, dialogue(2, {"10 4 18"}, 2)},
      {"junk_everywhere", "0 -1 x +01 +2 0 1 abc +2 5 - 1 7 Oui 2", 2,
       kMin + kMin + kMin + kMin + kMin + kMax + kMax + kMax + kMax + kParite +
           kParite + kParite + kEntete[1] + lignes({"2 2 3"}) + kNouveau +
           kNouveau + kNouveau + kNouveau + "\n"},
      {"two_calculations", "1 6 0 1 2 2 0 0", 1, k1a6 + dialogue(0, {"2 2 3"})},
      {"end_at_minimum", "", 2, kMin + "\n"},
      {"end_at_maximum", "4", 2, kMin + kMax + "\n"},
      {"end_at_parity", "4 4", 2, kMin + kMax + kParite + "\n"},
      {"end_at_repeat", "4 4 1", 2, dialogue(1, {"4 3 7"}) + "\n"},
      {"regular_file", "1 6 0 0\n", 2, kMin + "\n", Bout::kFichier},
      {"across_two_to_the_53", "9007199254740990 9007199254740994 0 0", 1,
       dialogue(0, {"9007199254740990 256 22190010730020864",
                    "9007199254740991 8 9008745449302368",
                    "9007199254740992 54 18014398509481983",
                    "9007199254740993 8 12121838249371488",
                    "9007199254740994 16 14305568476979736"})},
      {"up_to_the_largest_n", "9223372036854775805 9223372036854775807 0 0", 1,
       dialogue(0, {"9223372036854775805 16 11549266079196933504",
                    "9223372036854775806 16 18446744108069289984",
                    "9223372036854775807 96 10994507040830097408"})}};
  for (const auto& t : cas) {
    SCOPED_TRACE(t.nom);
    const Execution r = executer({.debut = t.entree, .entree = t.bout});
    EXPECT_EQ(r.sortie, kBanniere + t.sortie);
    EXPECT_EQ(r.statut, t.statut);
  }
}

// Reads from the terminal until `vu` ends with `attendu` or `limite` passed.
bool attendre(int maitre, std::string& vu, const std::string& attendu,
              Horloge::time_point limite) {
  char tampon[4096];
  while (!vu.ends_with(attendu)) {
    pollfd attente = {maitre, POLLIN, 0};
    if (Horloge::now() > limite) return false;
    if (poll(&attente, 1, 100) == 0) continue;
    const ssize_t n = read(maitre, tampon, sizeof tampon);
    if (n <= 0) return false;
    vu.append(tampon, static_cast<size_t>(n));
  }
  return true;
}

// Each row alternates the text the output must end with and what is then
// typed. Nothing is typed before the prompt shows, so a prompt left in the
// output buffer stops the test. The terminal hands over whole lines.
TEST(Terminal, PromptsShowTypeAheadIsKeptAndCtrlDEnds) {
  const struct {
    const char* nom;
    int statut;
    std::vector<std::string> pas;
  } cas[] = {
      // Two answers on one line: the maximum is asked once, answered already.
      {"two_answers_on_one_line",
       1,
       {kMin, "5 5\n", kMin + kMax + kParite, "0\n",
        lignes({"5 2 6"}) + kNouveau, "0\n"}},
      {"ctrl_d_at_minimum", 2, {kMin, "\x04", kMin + "\n", ""}},
      {"ctrl_d_after_refused_token",
       2,
       {kMin, "5 5 x\n", kParite + kParite, "\x04", kParite + "\n", ""}}};
  for (const auto& l : cas) {
    SCOPED_TRACE(l.nom);
    termios modes{};
    cfmakeraw(&modes);
    modes.c_lflag |= ICANON;
    modes.c_cc[VEOF] = 4;  // Ctrl-D
    int maitre = -1;
    const pid_t pid = forkpty(&maitre, nullptr, &modes, nullptr);
    if (pid == 0) {
      execl(KELVARO_PROGRAMME, "kelvaro", static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GE(pid, 0);
    const auto limite = Horloge::now() + std::chrono::seconds(20);
    std::string vu;
    for (size_t p = 0; p < l.pas.size(); p += 2) {
      ASSERT_TRUE(attendre(maitre, vu, l.pas[p], limite)) << vu;
      const std::string& tape = l.pas[p + 1];
      ASSERT_EQ(tape.empty() ? 0 : write(maitre, tape.data(), tape.size()),
                static_cast<ssize_t>(tape.size()));
    }
    int etat = 0;
    long memoire = 0;
    EXPECT_TRUE(attendre_fin(pid, limite, etat, memoire));
    close(maitre);
    EXPECT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), l.statut);
  }
}

}  // namespace
