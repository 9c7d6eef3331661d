// The primes below kBorne are divided out by multiplying with their inverse
// modulo 2^64; the cofactor, with no prime factor below kBorne, is split by
// rho until every piece passes the Miller-Rabin test.

#include "arith/grands.h"

#include <algorithm>
#include <array>

#include "arith/inverse.h"
#include "arith/primalite.h"
#include "arith/racine.h"
#include "arith/rho.h"
#include "state/state.h"

namespace {

// Measured on 200,000 N from 10^18 and below 2^63: bounds from 64 to 16384
// cost about the same, 1024 slightly the least.
constexpr uint64_t kBorne = 1024;

// An odd prime p with its inverse modulo 2^64: for every 64-bit n, p divides
// n exactly when n * inverse (modulo 2^64) is at most limite, and that
// product is then n / p.
struct Petit {
  uint64_t p, inverse, limite;
};

// Compile-time trial division, to build the list below.
constexpr bool premier_petit(uint64_t n) {
  for (uint64_t d = 3; d * d <= n; d += 2)
    if (n % d == 0) return false;
  return n % 2 == 1 && n > 1;
}

// How many odd primes lie below kBorne.
constexpr size_t compter_petits() {
  size_t c = 0;
  for (uint64_t n = 3; n < kBorne; n += 2) c += premier_petit(n);
  return c;
}

// The odd primes below kBorne, increasing, built at compile time.
constexpr auto kPetits = [] {
  std::array<Petit, compter_petits()> t{};
  size_t c = 0;
  for (uint64_t n = 3; n < kBorne; n += 2) {
    if (!premier_petit(n)) continue;
    t[c++] = {n, inverse(n), UINT64_MAX / n};
  }
  return t;
}();

// Records p with exponent e as the next distinct prime factor: writes nf,
// Nfact and Nexpo.
void ajouter(uint64_t p, int32_t e) {
  ++nf;
  Nfact.push_back(static_cast<int64_t>(p));
  Nexpo.push_back(e);
}

// Appends to l[t..] the prime factors of n (> 1, below 2^63, odd), with
// repetition; returns the new count.
size_t scinder(uint64_t n, uint64_t* l, size_t t) {
  if (est_premier(n)) {
    l[t] = n;
    return t + 1;
  }
  // A square is split at once; rho would find its root too, but more slowly.
  const auto r = static_cast<uint64_t>(racine(static_cast<int64_t>(n)));
  const uint64_t d = r * r == n ? r : rho(n);
  return scinder(n / d, l, scinder(d, l, t));
}

// Records the prime factors of n (no prime factor below kBorne, above
// kBorne^2, so composite or a large prime), grouped, in increasing order.
void grands_facteurs(uint64_t n) {
  uint64_t l[64];
  const size_t taille = facteurs_premiers(n, l);
  for (size_t a = 0; a < taille;) {
    size_t b = a;
    while (b < taille && l[b] == l[a]) ++b;
    ajouter(l[a], static_cast<int32_t>(b - a));
    a = b;
  }
}

}  // namespace

size_t facteurs_premiers(uint64_t n, uint64_t* l) {
  const size_t taille = scinder(n, l, 0);
  std::sort(l, l + taille);
  return taille;
}

int32_t decomp_grand() {
  auto n = static_cast<uint64_t>(S);
  const int deux = __builtin_ctzll(n);
  n >>= deux;
  if (deux > 0) ajouter(2, deux);
  for (const Petit& q : kPetits) {
    if (q.p * q.p > n) break;  // what is left is 1 or a prime
    if (n * q.inverse > q.limite) continue;
    int32_t e = 0;
    do {
      n *= q.inverse;
      ++e;
    } while (n * q.inverse <= q.limite);
    ajouter(q.p, e);
  }
  // No prime below kBorne divides n: below kBorne^2 it is prime.
  if (n >= kBorne * kBorne) {
    grands_facteurs(n);
  } else if (n > 1) {
    ajouter(n, 1);
  }
  S = 1;
  return 1;
}
