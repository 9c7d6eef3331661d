// The stages of the factorisation, each recording the factors it finds
// through noter, and the routine that sets the state the trial division
// leaves, from those factors.

#include "arith/decomp.h"

#include <algorithm>
#include <bit>

#include "arith/division_essai.h"
#include "arith/racine.h"
#include "arith/scission.h"
#include "premiers/table_premiers.h"
#include "state/state.h"

namespace {

// Above 2^53 the walk tries the 172 primes below 1024 (measured on 200,000
// N from 10^18 and below 2^63: bounds from 64 to 16384 cost about the
// same, 1024 slightly the least), without the prime table.
constexpr int64_t kGrands = 172;

// The power of 2. Returns whether the walk ends at the prime 2: for n = 2
// or 3, whose root is below 2 (n is then the prime left), and for a power
// of 2, which the division leaves at 1. Otherwise c is n's odd part, above 1.
bool deux(uint64_t n, Facteurs& trouves, uint64_t& c) {
  if (n < 4) {
    noter(trouves, n, 1);
    return true;
  }
  const int e = std::countr_zero(n);
  if (e > 0) noter(trouves, 2, e);
  c = n >> e;
  return c == 1;
}

// The factors of n (at least 2): the power of 2, the walk over the primes
// of index 2 to fin, and the split of what the walk leaves. Returns the
// index where the walk stopped, as marcher, or 0 when the rest was split.
int64_t chercher_facteurs(uint64_t n, int64_t fin, Facteurs& trouves) {
  uint64_t c = 1;
  if (deux(n, trouves, c)) return 1;
  const int64_t arret = marcher(c, fin, trouves, c);
  if (arret > fin) {
    // No prime up to index fin divides c, and c passed the root test there.
    scinder_reste(c, premier_numero(fin), trouves);
    return 0;
  }
  if (c > 1) noter(trouves, c, 1);  // the prime left when the walk stopped
  return arret;
}

// Room in the table for the primes up to the root of depart, the number
// factorised (2^27 at most: the memory is reserved, not touched), so that
// growing it through Suiv never copies it.
void faire_place(int64_t depart) {
  reserver_premiers(std::min(racine(depart), int64_t{1} << 27));
}

// Grows the table through Suiv to index m.
[[gnu::noinline]] void etendre_table(int64_t m, int64_t depart) {
  faire_place(depart);
  while (np < m) Suiv();
}

// Nfact[1..nf] and Nexpo[1..nf] from the factors found.
void ecrire_facteurs(const Facteurs& trouves) {
  nf = trouves.nombre;
  // Room for every factor a number below 2^64 can have, made once: then
  // push_back neither copies nor fills.
  if (Nfact.capacity() < 65 || Nexpo.capacity() < 65) [[unlikely]] {
    Nfact.reserve(65);
    Nexpo.reserve(65);
  }
  for (int32_t m = 0; m < nf; ++m) {
    Nfact.push_back(static_cast<int64_t>(trouves.premier[m]));
    Nexpo.push_back(trouves.exposant[m]);
  }
}

// The state trial division leaves for n = depart (at most 2^53), from its
// prime factors q1 < ... < qt with exponents e1 ... et. `arret` is the
// index where the walk stopped when it stopped within the first primes,
// else 0. Writes the factors, nf, k, expo, f, reste, rS and S; grows the
// table to index k. Where the walk stops is indice_de_portee's rule, proved
// there; at that prime:
// - et >= 2: qt leaves C = 1 at it: expo = f = et, reste = 1 mod qt = 1,
//   and rS is the root of qt^et, taken when qt was tried;
// - et = 1: expo = f = 0, reste = qt mod p and rS is the root of qt.
// The table grows through Suiv one prime at a time, so it ends holding
// exactly the primes up to index k, or what it held before if that is more.
void etat_final(const Facteurs& trouves, int64_t arret, int64_t depart) {
  ecrire_facteurs(trouves);
  const size_t t = static_cast<size_t>(nf) - 1;
  const uint64_t q = trouves.premier[t];
  const int32_t e = trouves.exposant[t];
  k = arret > 0 ? arret : indice_de_portee(trouves);
  if (e >= 2) {
    int64_t puissance = 1;
    for (int32_t u = 0; u < e; ++u) puissance *= static_cast<int64_t>(q);
    expo = f = e;
    rS = racine(puissance);
  } else {
    rS = racine(static_cast<int64_t>(q));
    expo = f = 0;
  }
  if (np < k) [[unlikely]]
    etendre_table(k, depart);
  const auto p = static_cast<uint64_t>(Nprem[static_cast<size_t>(k)]);
  if (e >= 2)
    reste = 1;
  else if (q <= UINT32_MAX)
    reste = static_cast<uint32_t>(q) % static_cast<uint32_t>(p);
  else
    reste = static_cast<int64_t>(q % p);
  S = 1;
}

}  // namespace

// Why the walk stops there. Before trying the prime p, it has divided out
// the factors below p; call the rest C. It stops at the first prime p with
// p^2 > C (C is then a prime, recorded with exponent 1) or once dividing p
// out leaves C = 1. While q_s is not the last factor, or es >= 2, C >= q_s^2
// until q_s is divided out, so every factor before the last is reached and
// divided out. Then, with qt the last factor and et its exponent:
// - et >= 2: C = qt^et >= qt^2, so qt is reached too, and leaves C = 1;
// - et = 1: C = qt, and the walk stops at the first prime p after q(t-1)
//   (after nothing when t = 1) with p^2 > qt, that is the first prime above
//   both q(t-1) and the root of qt; it may be qt itself.
int64_t indice_de_portee(const Facteurs& trouves) {
  const int32_t t = trouves.nombre - 1;
  const uint64_t q = trouves.premier[t];
  if (trouves.exposant[t] >= 2)
    return premier_au_dela(static_cast<int64_t>(q) - 1);
  const uint64_t avant = t > 0 ? trouves.premier[t - 1] : 0;
  const auto r = static_cast<uint64_t>(racine(static_cast<int64_t>(q)));
  return premier_au_dela(static_cast<int64_t>(std::max(avant, r)));
}

void factoriser(uint64_t n, Facteurs& trouves) {
  if (n > 1) chercher_facteurs(n, kMarche, trouves);
}

int32_t decomp() {
  nf = 0;
  k = 0;
  i = 1;
  if (S == 1) return 1;
  const bool grand = S > kLimiteTable;
  Facteurs trouves;
  const int64_t arret = chercher_facteurs(static_cast<uint64_t>(S),
                                          grand ? kGrands : kMarche, trouves);
  if (grand) {
    ecrire_facteurs(trouves);
    S = 1;
    return 1;
  }
  etat_final(trouves, arret, S);
  return 1;
}
