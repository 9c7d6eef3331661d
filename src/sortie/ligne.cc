// The result line of one N: its index, N, its count of divisors and their
// sum, written straight into the output buffer.

#include "sortie/ligne.h"

#include <cstring>

#include "sortie/decimal.h"
#include "sortie/sortie.h"

namespace {

// The decimal text of the last value written for nN, and for SN: when the
// next value is the last plus 1, as it is for the index and, under parity 0,
// for N, the text is incremented in place instead of converted. They start
// as 0, whose text is "0".
decimal::Compteur texte_nN, texte_SN;

}  // namespace

// Room for the line's longest form (about 150 bytes) is made once.
void ecrire_resultat(int64_t rang, int64_t n, int64_t nd,
                     unsigned __int128 somme) {
  char* out = place(256);
  auto coller = [&out]<size_t n>(const char(&t)[n]) {
    std::memcpy(out, t, n - 1);
    out += n - 1;
  };
  coller("\n \n \t ");
  out = texte_nN.ecrire(out, static_cast<uint64_t>(rang));
  coller(" \t -  :  \t ");
  out = texte_SN.ecrire(out, static_cast<uint64_t>(n));
  coller("  a  ");
  out = decimal::ecrire(out, static_cast<uint64_t>(nd));
  coller("  diviseurs  de somme  : ");
  out = decimal::ecrire(out, somme);
  coller(" . ");
  sortie_pos = out;
}
