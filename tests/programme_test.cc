// End-to-end: the built program fed through a pipe or a regular file, every
// byte of its output and its exit status compared with the transcript.

#include <sys/wait.h>

#include <cstdio>

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

struct Transcription {
  const char* nom;
  std::string entree;
  int statut;
  std::string sortie;  // after the banner; its end only past 128 KiB
  Bout bout = Bout::kTube;
  std::string guetter{};  // a line that must come at once, not at the end
};
void PrintTo(const Transcription& t, std::ostream* o) { *o << t.nom; }

const Transcription kTranscriptions[] = {
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
    // These 10^7 N are sieved by 146 million primes once per slice of
    // 4 million: the listing lasts seconds, and its first line comes at
    // once, not once the first slice is computed.
    {"slow_listing_first_line_at_once",
     "9223372036844775807 9223372036854775807 2 0", 1,
     "\n \n \t 10000001 \t -  :  \t 9223372036854775807  a  96  diviseurs  "
     "de somme  : 10994507040830097408 . " +
         kNouveau,
     Bout::kTube, lignes({"9223372036844775807 16 12506268008697212160"})}};

class Programme : public ::testing::TestWithParam<Transcription> {};

TEST_P(Programme, ByteForByte) {
  const Transcription& t = GetParam();
  const Execution r =
      executer({.debut = t.entree, .entree = t.bout, .guetter = t.guetter});
  if (r.taille > r.sortie.size())  // only the end of the output is kept
    EXPECT_TRUE(r.sortie.ends_with(t.sortie));
  else
    EXPECT_EQ(r.sortie, kBanniere + t.sortie);
  EXPECT_EQ(r.statut, t.statut);
  EXPECT_EQ(r.erreurs, "");
  if (t.guetter.empty()) return;
  ASSERT_GT(r.duree, 1.5) << "too short a listing to tell";
  EXPECT_GE(r.delai, 0.0) << "the line watched for never came";
  EXPECT_LT(r.delai, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Transcriptions, Programme,
                         ::testing::ValuesIn(kTranscriptions), kNomDuCas);

// The command line: each option alone answers at once, with no dialogue;
// any other argument is named on standard error, with status 64.
TEST(LigneDeCommande, AnswersItsOptionsAndRefusesTheRest) {
  const std::string kRefus = "\nkelvaro --help dit comment l'utiliser.\n";
  const struct {
    const char* arguments;
    int statut;
    std::string sortie, erreurs;  // how each begins
  } lignes[] = {
      {"--help", 0, "Usage : kelvaro [--help | --version]\n", ""},
      {"-h", 0, "Usage : kelvaro", ""},
      {"--version", 0, "kelvaro " KELVARO_VERSION "\nLicence MIT", ""},
      {"--vesion", 64, "", "kelvaro: option inconnue : --vesion" + kRefus},
      {"1 100", 64, "", "kelvaro: argument inattendu : 1" + kRefus},
      {"--help -x", 64, "", "kelvaro: option inconnue : -x" + kRefus}};
  // Standard output, or standard error alone, and the status.
  auto lire = [](const std::string& commande, int& statut) {
    FILE* f = popen(commande.c_str(), "r");
    std::string t;
    for (int c; (c = std::fgetc(f)) != EOF;) t += static_cast<char>(c);
    statut = WEXITSTATUS(pclose(f));
    return t;
  };
  for (const auto& l : lignes) {
    const std::string base =
        commande_programme() + " " + l.arguments + " </dev/null";
    int statut = 0;
    const std::string sortie = lire(base + " 2>/dev/null", statut);
    EXPECT_EQ(statut, l.statut) << l.arguments;
    EXPECT_TRUE(sortie.starts_with(l.sortie) &&
                sortie.empty() == l.sortie.empty())
        << l.arguments << ": " << sortie;
    EXPECT_EQ(lire(base + " 2>&1 >/dev/null", statut), l.erreurs)
        << l.arguments;
  }
}

}  // namespace
