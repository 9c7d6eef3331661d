// The result line of one N listed.
#pragma once

#include <cstdint>

#include "sortie/decimal.h"

// The longest line: two 19-digit numbers, a 6-digit count, a 39-digit sum
// and the words around them.
constexpr int64_t kLigneMax = 160;

// The texts of the index and of N last written by one writer of lines,
// kept to be incremented in place (see decimal::Compteur).
struct TextesLigne {
  decimal::Compteur rang, n;
};

// Writes at out, which has kLigneMax bytes free, the line of the rang-th N
// listed, n, with nd divisors of sum somme, and returns its end:
// "\n \n \t rang \t -  :  \t n  a  nd  diviseurs  de somme  : somme . "
char* former_resultat(char* out, TextesLigne& textes, int64_t rang, int64_t n,
                      int64_t nd, unsigned __int128 somme);

// Appends that line to the output.
void ecrire_resultat(int64_t rang, int64_t n, int64_t nd,
                     unsigned __int128 somme);

// The texts of the output's own lines, for a writer of many lines at once
// straight into the output buffer (see place).
TextesLigne& textes_de_sortie();
