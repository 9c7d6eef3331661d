// The result line of one N listed.
#pragma once

#include <cstdint>

// Appends to the output the line of the rang-th N listed, n, with nd
// divisors of sum somme:
// "\n \n \t rang \t -  :  \t n  a  nd  diviseurs  de somme  : somme . "
void ecrire_resultat(int64_t rang, int64_t n, int64_t nd,
                     unsigned __int128 somme);
