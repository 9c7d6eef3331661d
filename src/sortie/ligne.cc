// The result line of one N: its index, N, its count of divisors and their
// sum, written straight into the output buffer or a buffer of the caller's.

#include "sortie/ligne.h"

#include <cstring>

#include "sortie/sortie.h"

namespace {

// The texts of the program's own lines. When the next value is the last
// plus 1, as it is for the index and, under parity 0, for N, the text is
// incremented in place instead of converted.
TextesLigne textes_sortie;

}  // namespace

char* former_resultat(char* out, TextesLigne& textes, int64_t rang, int64_t n,
                      int64_t nd, unsigned __int128 somme) {
  auto coller = [&out]<size_t m>(const char(&t)[m]) {
    std::memcpy(out, t, m - 1);
    out += m - 1;
  };
  coller("\n \n \t ");
  out = textes.rang.former(out, static_cast<uint64_t>(rang));
  coller(" \t -  :  \t ");
  out = textes.n.former(out, static_cast<uint64_t>(n));
  coller("  a  ");
  out = decimal::former(out, static_cast<uint64_t>(nd));
  coller("  diviseurs  de somme  : ");
  out = decimal::former(out, somme);
  coller(" . ");
  return out;
}

TextesLigne& textes_de_sortie() { return textes_sortie; }

void ecrire_resultat(int64_t rang, int64_t n, int64_t nd,
                     unsigned __int128 somme) {
  sortie_pos =
      former_resultat(place(kLigneMax), textes_sortie, rang, n, nd, somme);
}
