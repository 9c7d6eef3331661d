// The input reader: which tokens each mode accepts, and what it writes.

#include "input/controle.h"

#include "console.h"

namespace {

const char kInvite[] = "? ";

struct Jeton {
  const char* nom;
  std::string texte;
  int64_t valeur;  // -1: refused
};

class Entier : public ConsoleTest {};

TEST_F(Entier, AcceptsOnlyStrictlyWrittenPositiveIntegers) {
  const Jeton lignes[] = {
      {"digit", "7", 7},
      {"plus", "+7", 7},
      {"plus_two_digits", "+50", 50},
      {"three_digits", "105", 105},
      {"largest", "9223372036854775807", INT64_MAX},
      {"nul_cut", std::string("1\0abc", 5), 1},
      {"nul_cut_long", "12" + std::string(1, '\0') + std::string(300, 'x'), 12},
      {"zero", "0", -1},
      {"zeros", "00", -1},
      {"leading_zero", "007", -1},
      {"minus", "-5", -1},
      {"lone_plus", "+", -1},
      {"plus_zero", "+0", -1},
      {"plus_leading_zero", "+05", -1},
      {"plus_after", "5+", -1},
      {"minus_inside", "1-2", -1},
      {"letters", "abc", -1},
      {"digit_letter", "1a", -1},
      {"two_to_63", "9223372036854775808", -1},
      {"twenty_nines", "99999999999999999999", -1},
      {"nineteen_nines", "9999999999999999999", -1},
      {"starts_with_nul",
       std::string("\0"
                   "5",
                   2),
       -1},
      {"length_199", "1" + std::string(198, '0'), -1},
      {"length_200", "1" + std::string(199, '0'), -1},
      {"huge", std::string(10000, '9'), -1},
  };
  for (const Jeton& ligne : lignes) {
    SCOPED_TRACE(ligne.nom);
    sortie.clear();
    fournir(ligne.texte + " 42");
    xn = 1;
    controle(kEntier, kInvite);
    const bool accepte = ligne.valeur >= 0;
    EXPECT_EQ(valeur0, accepte ? ligne.valeur : 42);
    EXPECT_EQ(lu(), accepte ? "? " : "? ? ");
  }
}

TEST_F(Entier, ZeroAcceptedWhenAllowed) {
  fournir("0");
  xn = 0;
  controle(kEntier, kInvite);
  EXPECT_EQ(valeur0, 0);
  EXPECT_EQ(lu(), "? ");
}

TEST_F(Entier, TokensAreSplitOnEveryKindOfWhitespace) {
  fournir(" \t\r\n\v\f12\n34");
  xn = 1;
  controle(kEntier, kInvite);
  EXPECT_EQ(valeur0, 12);
  controle(kEntier, kInvite);
  EXPECT_EQ(valeur0, 34);
}

struct Choix {
  int32_t mode;
  std::string texte;
  int32_t valeur;  // -1: refused
};

class Chiffre : public ConsoleTest {};

TEST_F(Chiffre, AcceptsOneAllowedDigit) {
  const Choix lignes[] = {
      {kOuiNon, "1", 1},
      {kOuiNon, "0", 0},
      {kOuiNon, "2", -1},
      {kOuiNon, "01", -1},
      {kOuiNon, "10", -1},
      {kOuiNon, "x", -1},
      {kOuiNon, "+1", -1},
      {kTroisChoix, "0", 0},
      {kTroisChoix, "1", 1},
      {kTroisChoix, "2", 2},
      {kTroisChoix, "3", -1},
      {kTroisChoix, "22", -1},
      {kTroisChoix, "+", -1},
      {kTroisChoix,
       std::string("2\0"
                   "9",
                   3),
       2},
  };
  for (const Choix& ligne : lignes) {
    SCOPED_TRACE(ligne.texte);
    sortie.clear();
    fournir(ligne.texte + " 0");
    controle(ligne.mode, kInvite);
    EXPECT_EQ(valeur2, ligne.valeur >= 0 ? ligne.valeur : 0);
    EXPECT_EQ(lu(), ligne.valeur >= 0 ? "? " : "? ? ");
  }
}

TEST_F(Chiffre, UnknownModeReadsNothing) {
  fournir("1");
  EXPECT_EQ(controle(5, kInvite), 0);
  EXPECT_EQ(lu(), "");
  controle(kOuiNon, kInvite);
  EXPECT_EQ(valeur2, 1);
}

TEST_F(Chiffre, SeekableInputIsSkipped) {
  std::stringbuf fichier("1 1 1");
  std::cin.rdbuf(&fichier);
  EXPECT_EXIT(controle(kOuiNon, kInvite), ::testing::ExitedWithCode(2), "");
}

using FinDEntree = ConsoleTest;

TEST_F(FinDEntree, EndsWithStatusTwoInEveryMode) {
  for (int32_t mode : {kEntier, kOuiNon, kTroisChoix}) {
    fournir(" x \n");
    EXPECT_EXIT(controle(mode, kInvite), ::testing::ExitedWithCode(2), "");
  }
}

TEST(Valtest, ClassifiesEachCharacter) {
  struct {
    char c;
    int32_t resultat;
    int64_t valeur;
  } lignes[] = {{'0', 1, 0}, {'1', 1, 1}, {'9', 1, 9}, {'+', 1, 1},
                {'-', 1, 0}, {'a', 0, 0}, {' ', 0, 0}, {'\0', 0, 0}};
  for (const auto& ligne : lignes) {
    valtest2 = 77;
    EXPECT_EQ(valtest(ligne.c), ligne.resultat) << ligne.c;
    EXPECT_EQ(valtest2, ligne.valeur) << ligne.c;
  }
}

}  // namespace
