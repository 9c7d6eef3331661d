// The input reader and its character classifier.

#include "input/controle.h"

#include <cstdint>
#include <cstring>
#include <iostream>

#include "sortie/sortie.h"
#include "state/state.h"

namespace {

constexpr int64_t kMax = INT64_MAX;

bool blanc(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

// Reads the next whitespace-delimited token of std::cin into saisie, keeping
// only what the checks need: the characters before its first NUL, at most
// sizeof entree of them, so that one more than fits marks it as too long.
// The rest of a longer token is read and dropped. False at the end of input.
bool lire_jeton() {
  std::streambuf* source = std::cin.rdbuf();
  saisie.clear();
  int c;
  do c = source->sbumpc();
  while (c != EOF && blanc(c));
  if (c == EOF) return false;
  bool coupe = false;
  for (; c != EOF && !blanc(c); c = source->sbumpc()) {
    if (c == '\0') coupe = true;
    if (!coupe && saisie.size() < sizeof entree)
      saisie.push_back(static_cast<char>(c));
  }
  return true;
}

// Writes the prompt and reads tokens until one is not empty; leaves it in
// entree and its length in l1. A token too long for entree counts as empty:
// either way the prompt is written again. Ends the process at end of input.
void demander(const char* chaine) {
  do {
    ecrire(chaine, static_cast<size_t>(l));
    vider();
    if (!lire_jeton()) {
      ecrire("\n", 1);
      terminer(2);
    }
    size_t n = saisie.size() < sizeof entree ? saisie.size() : 0;
    std::memcpy(entree, saisie.data(), n);
    entree[n] = '\0';
    l1 = static_cast<int32_t>(n);
  } while (l1 == 0);
}

// Yes/no and three-way modes: a single digit from 0 to `plus_grand`.
void choix(const char* chaine, char plus_grand) {
  while (refaire == 1) {
    demander(chaine);
    if (l1 == 1 && entree[0] >= '0' && entree[0] <= plus_grand) {
      valeur2 = entree[0] - '0';
      refaire = 0;
    }
  }
}

// Appends one digit to valeur0; refuses the token when the value would pass
// 2^63 - 1. Same as valeur0 * 10 + d > kMax but overflow safe.
void ajouter_chiffre(int64_t d) {
  if (valeur0 > (kMax - d) / 10) {
    refaire = 1;
    return;
  }
  valeur0 = valeur0 * 10 + d;
}

// Judges the character at index a of an integer token against the rule for
// its position; sets refaire to 1 when the rule refuses it.
void juger_position() {
  const char c = entree[a];
  if (valtest(c) != 1 || c == '-') {
    refaire = 1;
    return;
  }
  if (a == 0) {
    const bool zero_en_tete = c == '0' && l1 > 1;
    const bool signe_seul = c == '+' && l1 == 1;
    if (zero_en_tete || signe_seul)
      refaire = 1;
    else
      valeur0 = valtest2;
    return;
  }
  if (c == '+') {
    refaire = 1;
  } else if (a == 1 && entree[0] == '+') {
    // The sign is dropped; a zero right after it would be a leading zero.
    if (c == '0')
      refaire = 1;
    else
      valeur0 = valtest2;
  } else {
    ajouter_chiffre(valtest2);
  }
}

// Integer mode: an optional "+", a digit 1 to 9, further digits; or "0"
// while xn is 0.
void entier(const char* chaine) {
  a = 0;
  do {
    refaire = 0;
    l1 = 0;
    demander(chaine);
    a = a1 = 0;
    while (a < l1 && refaire == 0) {
      juger_position();
      if (refaire == 0) a = ++a1;
    }
  } while ((xn == 1 && valeur0 == 0) || refaire == 1);
}

}  // namespace

int32_t valtest(char caract1) {
  valtest2 = 0;
  if (caract1 >= '0' && caract1 <= '9') {
    valtest2 = caract1 - '0';
    return 1;
  }
  if (caract1 == '+') {
    valtest2 = 1;
    return 1;
  }
  return caract1 == '-' ? 1 : 0;
}

void copier_message(const char* texte) {
  std::strncpy(message, texte, sizeof message - 1);
  message[sizeof message - 1] = '\0';
}

int32_t controle(int32_t cas, const char* chaine) {
  // Entry steps: skip whatever a regular file still holds; at a terminal or
  // a pipe the seek fails without effect and the failure is cleared.
  std::cin.seekg(0, std::ios_base::end);
  std::cin.clear();
  refaire = 1;
  l = static_cast<int32_t>(std::strlen(chaine));

  if (cas == kEntier)
    entier(chaine);
  else if (cas == kOuiNon)
    choix(chaine, '1');
  else if (cas == kTroisChoix)
    choix(chaine, '2');
  return 0;
}
