// Trial division of S by the primes in increasing order, stopping as soon as
// the prime passes the square root of what is left.

#include "arith/decomp.h"

#include "arith/grands.h"
#include "arith/premiers.h"
#include "arith/racine.h"
#include "state/state.h"

namespace {

// Records p as the next distinct prime factor, with exponent 0 for now.
void nouveau_facteur(int64_t p) {
  ++nf;
  Nexpo.push_back(0);
  Nfact.push_back(p);
}

}  // namespace

int32_t decomp() {
  nf = 0;
  k = 0;
  i = 1;
  if (S == 1) return 1;
  // Above 2^53 trial division would need primes up to 3e9; another method
  // gives the same factors there and leaves the prime table as it is.
  if (S > (int64_t{1} << 53)) return decomp_grand();
  for (;;) {
    expo = 0;
    ++k;
    if (k > 2 && k > np) Suiv();  // appends exactly the prime of index k
    const int64_t p = Nprem[k];
    f = 0;
    reste = S % p;
    rS = racine(S);
    if (rS < p) {
      // No prime up to the root divides what is left: it is prime.
      nouveau_facteur(S);
      Nexpo[nf] = 1;
      S = 1;
      return 1;
    }
    if (reste != 0) continue;
    do {
      S /= p;
      ++f;
      if (f == 1) nouveau_facteur(p);
      ++expo;
      Nexpo[nf] = expo;
      reste = S % p;
    } while (reste == 0);
    if (S == 1) return 1;
  }
}
