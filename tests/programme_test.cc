// End-to-end: the built program fed through a pipe; every byte of its output
// and its exit status compared with the expected transcript.

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

// The dialogue of one calculation up to its header.
std::string questions(int parite, int max_demandes = 1) {
  std::string t = kMin;
  for (int m = 0; m < max_demandes; ++m) t += kMax;
  return t + kParite + kEntete[parite];
}

struct Transcription {
  const char* nom;
  std::string entree;
  std::string sortie;  // after the banner
  int statut;
};

std::string lignes_1_a_6() {
  return ligne("1", "1", "1", "1") + ligne("2", "2", "2", "3") +
         ligne("3", "3", "2", "4") + ligne("4", "4", "3", "7") +
         ligne("5", "5", "2", "6") + ligne("6", "6", "4", "12");
}

TEST(Programme, TranscriptsMatchByteForByte) {
  const Transcription lignes[] = {
      {"full_session", "1\n6\n0\n0\n", questions(0) + lignes_1_a_6() + kNouveau,
       1},
      {"odd_sums", "1 10 1 0",
       questions(1) + ligne("1", "1", "1", "1") + ligne("2", "2", "2", "3") +
           ligne("3", "4", "3", "7") + ligne("4", "8", "4", "15") +
           ligne("5", "9", "3", "13") + kNouveau,
       1},
      {"even_sums", "1 10 2 0",
       questions(2) + ligne("1", "3", "2", "4") + ligne("2", "5", "2", "6") +
           ligne("3", "6", "4", "12") + ligne("4", "7", "2", "8") +
           ligne("5", "10", "4", "18") + kNouveau,
       1},
      {"nothing_qualifies", "3 3 1 0", questions(1) + kNouveau, 1},
      {"min_equals_max", "5 5 0 0",
       questions(0) + ligne("1", "5", "2", "6") + kNouveau, 1},
      {"maximum_asked_again", "10 3 10 2 0",
       questions(2, 2) + ligne("1", "10", "4", "18") + kNouveau, 1},
      {"junk_everywhere", "0 -1 x +01 +2 0 1 abc +2 5 - 1 7 Oui 2",
       kMin + kMin + kMin + kMin + kMin + kMax + kMax + kMax + kMax + kParite +
           kParite + kParite + kEntete[1] + ligne("1", "2", "2", "3") +
           kNouveau + kNouveau + kNouveau + kNouveau + "\n",
       2},
      {"two_calculations", "1 6 0 1 2 2 0 0",
       questions(0) + lignes_1_a_6() + kNouveau + questions(0) +
           ligne("1", "2", "2", "3") + kNouveau,
       1},
      {"end_at_minimum", "", kMin + "\n", 2},
      {"end_at_maximum", "4", kMin + kMax + "\n", 2},
      {"end_at_parity", "4 4", kMin + kMax + kParite + "\n", 2},
      {"end_at_repeat", "4 4 1",
       questions(1) + ligne("1", "4", "3", "7") + kNouveau + "\n", 2},
      {"largest_n", "9223372036854775807 9223372036854775807 0 0",
       questions(0) +
           ligne("1", "9223372036854775807", "96", "10994507040830097408") +
           kNouveau,
       1},
      {"across_two_to_the_53", "9007199254740990 9007199254740994 0 0",
       questions(0) +
           ligne("1", "9007199254740990", "256", "22190010730020864") +
           ligne("2", "9007199254740991", "8", "9008745449302368") +
           ligne("3", "9007199254740992", "54", "18014398509481983") +
           ligne("4", "9007199254740993", "8", "12121838249371488") +
           ligne("5", "9007199254740994", "16", "14305568476979736") + kNouveau,
       1},
      {"up_to_the_largest_n", "9223372036854775805 9223372036854775807 0 0",
       questions(0) +
           ligne("1", "9223372036854775805", "16", "11549266079196933504") +
           ligne("2", "9223372036854775806", "16", "18446744108069289984") +
           ligne("3", "9223372036854775807", "96", "10994507040830097408") +
           kNouveau,
       1},
  };
  for (const Transcription& t : lignes) {
    SCOPED_TRACE(t.nom);
    Execution r = executer(t.entree);
    EXPECT_EQ(r.sortie, kBanniere + t.sortie);
    EXPECT_EQ(r.statut, t.statut);
  }
}

TEST(Programme, RegularFileInputIsSkipped) {
  Execution r = executer_fichier("1 6 0 0\n");
  EXPECT_EQ(r.sortie, kBanniere + kMin + "\n");
  EXPECT_EQ(r.statut, 2);
}

}  // namespace
