// Trial division of S by the primes in increasing order, stopping as soon as
// the prime passes the square root of what is left.

#include "arith/decomp.h"

#include "arith/essai.h"
#include "arith/grands.h"
#include "arith/inverse.h"
#include "arith/table_premiers.h"
#include "arith/racine.h"
#include "state/state.h"

namespace {

// Past this root the prime table is left to grow by doubling rather than
// reserved up front: 2^27 covers every N up to 2^54.
constexpr int64_t kRacineReservee = int64_t{1} << 27;

// Records p as the next distinct prime factor, with exponent 0 for now.
void nouveau_facteur(int64_t p) {
  ++nf;
  Nexpo.push_back(0);
  Nfact.push_back(p);
}

// Index of the first prime after Nprem[k] that exceeds rS or divides S: the
// next place where the trial division does something. Past the end of the
// table, Suiv appends the primes one at a time, each when it is first needed.
// `depart` is the number being factorised, whose root bounds the primes.
int64_t prochain_arret(int64_t depart) {
  const auto s = static_cast<uint64_t>(S);
  int64_t m = k + 1;
  if (m == 1) {
    if (rS < 2 || s % 2 == 0) return 1;
    m = 2;
  }
  if (m <= np) {
    m = premier_arret(m, np, s, rS);
    if (m <= np) return m;
  }
  const int64_t racine_depart = racine(depart);
  reserver_premiers(racine_depart < kRacineReservee ? racine_depart
                                                    : kRacineReservee);
  for (;; ++m) {
    Suiv();  // appends exactly the prime of index m = np + 1
    const auto p = static_cast<uint64_t>(Nprem[static_cast<size_t>(m)]);
    if (p > static_cast<uint64_t>(rS) ||
        divise(s, p, Ninv[static_cast<size_t>(m)]))
      return m;
  }
}

// Divides the prime p = Nprem[k] out of S completely, counting it in expo and
// f and recording it in Nfact and Nexpo. An exact quotient is S times the
// inverse of p (a shift for 2).
void diviser(int64_t p) {
  const auto premier = static_cast<uint64_t>(p);
  const uint64_t inv = Ninv[static_cast<size_t>(k)];
  auto s = static_cast<uint64_t>(S);
  do {
    s = premier == 2 ? s >> 1 : s * inv;
    ++f;
    if (f == 1) nouveau_facteur(p);
    ++expo;
    Nexpo[static_cast<size_t>(nf)] = expo;
  } while (premier == 2 ? s % 2 == 0 : divise(s, premier, inv));
  S = static_cast<int64_t>(s);
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
  caler_inverses();
  const int64_t depart = S;
  rS = racine(S);
  for (;;) {
    expo = 0;
    f = 0;
    k = prochain_arret(depart);
    const int64_t p = Nprem[static_cast<size_t>(k)];
    if (rS < p) {
      // No prime up to the root divides what is left: it is prime.
      reste = S % p;
      nouveau_facteur(S);
      Nexpo[static_cast<size_t>(nf)] = 1;
      S = 1;
      return 1;
    }
    diviser(p);
    if (S == 1) {
      reste = 1;  // 1 mod p, what the last trial left
      return 1;
    }
    rS = racine(S);
  }
}
