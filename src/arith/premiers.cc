// Growth of the prime table by trial division.

#include "arith/premiers.h"

#include "arith/racine.h"
#include "state/state.h"

int32_t Suiv() {
  j = 1;
  for (;;) {
    const int64_t candidat = Nprem[np] + 2 * i;
    const int64_t r = racine(candidat);
    // Never runs past the table: its last prime exceeds the root of the
    // next candidate (there is a prime between p and 2p).
    while (r >= Nprem[j] && candidat % Nprem[j] != 0) ++j;
    if (r < Nprem[j]) break;  // no prime up to the root divides it
    ++i;
    j = 1;
  }
  ++np;
  Nprem.push_back(0);
  Nprem[np] = Nprem[np - 1] + 2 * i;
  i = 1;
  return 1;
}
