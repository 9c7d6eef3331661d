// The odd divisor sums of a range, found without walking it: sigma(N) is odd
// exactly when N is a square or twice a square.
#pragma once

#include <cstdint>

// Writes the result line of every N from debut to fin (1 <= debut <= fin)
// whose divisor sum is odd, in increasing order, numbered on from nN, which
// it increases. Reads and writes nothing else of the program-wide state.
void lister_impairs(int64_t debut, int64_t fin);

// How many N from de to jusqua (1 <= de, de - 1 <= jusqua) have an odd
// divisor sum: the squares and the doubled squares among them.
int64_t impairs_entre(int64_t de, int64_t jusqua);

// How many N from de to jusqua have a line, all of them or, for the even
// sums (paires), those whose sum is not odd; 0 when de > jusqua.
int64_t lignes_entre(int64_t de, int64_t jusqua, bool paires);
