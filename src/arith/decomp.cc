// Trial division of S by the primes in increasing order, stopping as soon as
// the prime passes the square root of what is left; past the first primes,
// Miller-Rabin and rho find the rest, and the walk's end state is set.

#include "arith/decomp.h"

#include <algorithm>
#include <bit>

#include "arith/essai.h"
#include "arith/grands.h"
#include "arith/inverse.h"
#include "arith/racine.h"
#include "arith/table_premiers.h"
#include "state/state.h"

namespace {

// Past this root the prime table is left to grow by doubling rather than
// reserved up front: 2^27 covers every N up to 2^54.
constexpr int64_t kRacineReservee = int64_t{1} << 27;

// Gives Nfact and Nexpo room for 16 more factors, out of the common path.
[[gnu::noinline]] void agrandir_facteurs() {
  Nfact.reserve(Nfact.size() + 16);
  Nexpo.reserve(Nexpo.size() + 16);
}

// Records p as the next distinct prime factor, with exponent 0 for now.
// With room made first, the compiler leaves out push_back's own copy to a
// larger block, and the whole fits inline.
inline void nouveau_facteur(int64_t p) {
  ++nf;
  const bool plein =
      Nfact.size() == Nfact.capacity() || Nexpo.size() == Nexpo.capacity();
  if (plein) [[unlikely]]
    agrandir_facteurs();
  if (Nfact.size() == Nfact.capacity() || Nexpo.size() == Nexpo.capacity())
    __builtin_unreachable();
  Nexpo.push_back(0);
  Nfact.push_back(p);
}

// Makes room in the table for the primes up to the root of `depart`, the
// number being factorised: the farthest the walk can take the table.
void reserver(int64_t depart) {
  const int64_t r = racine(depart);
  reserver_premiers(r < kRacineReservee ? r : kRacineReservee);
}

// Index of the first prime after Nprem[k], up to index `limite`, that
// passes the root of S (its square exceeds S) or divides `impair`, or
// limite + 1 when none does. `impair` is the odd part of the number being
// factorised: for the primes not divided out yet it says the same as S, and
// it does not change as S is divided. Past the end of the table, Suiv
// appends the primes one at a time, each when it is first needed.
int64_t prochain_arret(int64_t depart, uint64_t impair, int64_t limite) {
  const auto s = static_cast<uint64_t>(S);
  int64_t m = k + 1;
  if (m == 1) {
    if (s < 4 || s % 2 == 0) return 1;
    m = 2;
  }
  const int64_t fin = np < limite ? np : limite;
  if (m <= fin) {
    m = premier_arret(m, fin, impair, s);
    if (m <= fin) return m;
  }
  if (m > limite) return m;
  reserver(depart);
  for (; m <= limite; ++m) {
    Suiv();  // appends exactly the prime of index m = np + 1
    caler_inverses(m);
    const auto p = static_cast<uint64_t>(Nprem[static_cast<size_t>(m)]);
    if (p * p > s || divise(impair, p, Ninv[static_cast<size_t>(m)])) return m;
  }
  return m;
}

// Divides the prime p = Nprem[k] out of S completely, counting it in expo and
// f and recording it in Nfact and Nexpo. The power of 2 is read off at once;
// an exact quotient by an odd p is S times the inverse of p.
void diviser(int64_t p) {
  auto s = static_cast<uint64_t>(S);
  nouveau_facteur(p);
  if (p == 2) {
    f = expo = std::countr_zero(s);
    s >>= expo;
  } else {
    const auto premier = static_cast<uint64_t>(p);
    const uint64_t inv = Ninv[static_cast<size_t>(k)];
    do {
      s *= inv;
      ++f;
      ++expo;
    } while (divise(s, premier, inv));
  }
  Nexpo[static_cast<size_t>(nf)] = expo;
  S = static_cast<int64_t>(s);
}

// S mod p, through a 32-bit division when both fit.
int64_t modulo(int64_t s, int64_t p) {
  if (s <= UINT32_MAX)
    return static_cast<uint32_t>(s) % static_cast<uint32_t>(p);
  return s % p;
}

// Index of the first prime after Nprem[m] that exceeds x. When the table
// does not reach that far, Suiv appends the primes up to it one at a time,
// as the walk would have.
int64_t premier_au_dela(int64_t m, int64_t x, int64_t depart) {
  if (m < np && Nprem[static_cast<size_t>(np)] > x)
    return std::upper_bound(Nprem.begin() + m + 1, Nprem.begin() + np + 1, x) -
           Nprem.begin();
  reserver(depart);
  while (np <= m || Nprem[static_cast<size_t>(np)] <= x) Suiv();
  return np;
}

// The end of the walk, from where it passed index `limite`: no prime up to
// Nprem[limite] divides S, and rS (its root) is at least that prime. S is
// split into its prime factors; for each, in increasing order, the walk
// would stop at it and divide it out when it lies within the root of what is
// left, and otherwise what is left is that prime and the walk would stop at
// the first prime past the root. The table is grown to that last prime, and
// k, expo, f, reste, rS and the factors are left as the walk leaves them.
void finir(int64_t limite, int64_t depart) {
  uint64_t l[64];
  const size_t taille = facteurs_premiers(static_cast<uint64_t>(S), l);
  int64_t m = limite;  // index of the last prime the walk has tried
  for (size_t a = 0; a < taille;) {
    const auto q = static_cast<int64_t>(l[a]);
    expo = 0;
    f = 0;
    if (q > rS) {
      // What is left is the prime q.
      k = premier_au_dela(m, rS, depart);
      reste = modulo(S, Nprem[static_cast<size_t>(k)]);
      nouveau_facteur(S);
      Nexpo[static_cast<size_t>(nf)] = 1;
      S = 1;
      return;
    }
    k = m = premier_au_dela(m, q - 1, depart);
    nouveau_facteur(q);
    for (; a < taille && static_cast<int64_t>(l[a]) == q; ++a) {
      S /= q;
      ++expo;
      ++f;
    }
    Nexpo[static_cast<size_t>(nf)] = expo;
    if (S == 1) {
      reste = 1;
      return;
    }
    rS = racine(S);
  }
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
  const int64_t depart = S;
  const auto impair =
      static_cast<uint64_t>(S) >> __builtin_ctzll(static_cast<uint64_t>(S));
  // The last index the walk tries; past it, finir ends the factorisation.
  // The prime 2 is always walked, so that what finir splits is odd.
  const int64_t limite = std::clamp(marche, int64_t{1}, INT64_MAX - 1);
  if (static_cast<int64_t>(Ninv.size()) <= std::min(np, limite))
    caler_inverses(limite);
  // The walk compares squares of primes with S; rS, the root of S at the
  // last trial, is taken once at the end, off the scan's path.
  for (;;) {
    expo = 0;
    f = 0;
    k = prochain_arret(depart, impair, limite);
    if (k > limite) {
      rS = racine(S);
      finir(limite, depart);
      return 1;
    }
    const int64_t p = Nprem[static_cast<size_t>(k)];
    if (p * p > S) {
      // No prime up to the root divides what is left: it is prime.
      rS = racine(S);
      reste = modulo(S, p);
      nouveau_facteur(S);
      Nexpo[static_cast<size_t>(nf)] = 1;
      S = 1;
      return 1;
    }
    const int64_t avant = S;
    diviser(p);
    if (S == 1) {
      rS = racine(avant);
      reste = 1;  // 1 mod p, what the last trial left
      return 1;
    }
  }
}
