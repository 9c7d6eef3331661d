// The prompted input reader: writes a prompt, reads one whitespace-delimited
// token from std::cin and asks again, with no message, until the token has
// the form the caller wants.
#pragma once

#include <cstdint>

// Modes of controle.
constexpr int32_t kEntier = 9;      // a strictly written decimal integer
constexpr int32_t kOuiNon = 1;      // the digit 0 or 1
constexpr int32_t kTroisChoix = 3;  // the digit 0, 1 or 2

// Classifies one character of an integer answer. Returns 1 for a digit, "+"
// or "-", 0 otherwise. Writes valtest2: the digit's value, 1 for "+", else 0.
int32_t valtest(char caract1);

// Copies a prompt into message, the text every caller hands to controle.
void copier_message(const char* texte);

// Asks with the prompt `chaine` until the answer fits mode `cas`, then leaves
// it in valeur0 (integer mode) or valeur2 (choice modes) and returns 0.
// Reads xn: while it is 1 the integer 0 is refused. Writes entree, saisie,
// l, l1, a, a1, refaire and valtest2. At the end of standard input it writes
// "\n" and ends the process with status 2. Any other mode returns at once.
int32_t controle(int32_t cas, const char* chaine);
