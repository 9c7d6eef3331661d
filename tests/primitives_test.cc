// The primitive steps under the arithmetic, each against a plain reference:
// the decimal writer, the sieve behind Suiv, the scan of the prime table, and
// Miller-Rabin and rho used above 2^53.

#include <random>
#include <string>
#include <vector>

#include "arith/essai.h"
#include "arith/primalite.h"
#include "arith/rho.h"
#include "arith/table_premiers.h"
#include "console.h"
#include "state/decimal.h"

namespace {

using Primitives = ConsoleTest;

std::string reference(u128 v) {
  std::string t;
  do t.insert(t.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
  while ((v /= 10) != 0);
  return t;
}

TEST(Decimal, EveryLengthAndItsBoundaries) {
  std::vector<u128> lignes = {0, UINT64_MAX, u128{UINT64_MAX} + 1, ~u128{0}};
  for (u128 p = 1; p <= u128{UINT64_MAX} * 1000; p *= 10)
    for (u128 v : {p - 1, p, p + 1, 2 * p, 99 * p / 10}) lignes.push_back(v);
  char t[64];
  decimal::Compteur compteur;
  for (u128 v : lignes) {
    const std::string attendu = reference(v);
    EXPECT_EQ(std::string(t, decimal::ecrire(t, v)), attendu);
    const auto v64 = static_cast<uint64_t>(v);
    EXPECT_TRUE(v > v64 || std::string(t, decimal::ecrire(t, v64)) == attendu);
    // A counter through v - 2 .. v + 1: incremented in place across a new
    // digit and the carry out of its low eight digits, converted on a jump.
    for (uint64_t w = v64 - 2; v >= 2 && v < INT64_MAX && w <= v64 + 1; ++w)
      EXPECT_EQ(std::string(t, compteur.ecrire(t, w)), reference(w));
  }
}

// Suiv, fed by a sieve, appends the same primes in turn as trial division.
TEST_F(Primitives, SuivAppendsThePrimesOfASieveInTurn) {
  i = 1;  // as the factorisation leaves it
  while (Nprem.back() < 2000000) {
    Suiv();
    ASSERT_EQ(i, 1);
  }
  std::vector<bool> compose(2000001, false);
  Table attendu = {0};
  for (int64_t n = 2; n <= 2000000; ++n) {
    if (compose[static_cast<size_t>(n)]) continue;
    attendu.push_back(n);
    for (int64_t m = n * n; m <= 2000000; m += n)
      compose[static_cast<size_t>(m)] = true;
  }
  attendu.push_back(Nprem.back());  // the first prime past 2000000
  EXPECT_EQ(Nprem, attendu);
  EXPECT_EQ(np + 1, static_cast<int64_t>(Nprem.size()));
}

// Numbers below and above 2^32, half of them multiples of a prime of the
// range, against primes small and large: every form of the test.
TEST_F(Primitives, ScanStopsAtTheFirstDivisorOrAtTheRoot) {
  i = 1;
  while (np < 2100) Suiv();
  caler_inverses();
  std::mt19937_64 alea(5);
  for (int essai = 0; essai < 20000; ++essai) {
    const int64_t debut = 2 + static_cast<int64_t>(alea() % 2000);
    const int64_t fin = debut + static_cast<int64_t>(alea() % 60) - 1;
    uint64_t s = alea() >> (1 + alea() % 50);
    if (alea() % 2 == 0)
      s = (s >> 16 | 1) * static_cast<uint64_t>(Nprem[static_cast<size_t>(
                              debut + static_cast<int64_t>(alea() % 60))]);
    const auto r =
        static_cast<int64_t>(alea() % (alea() % 2 ? 3000 : 1u << 31));
    const auto c = static_cast<uint64_t>(r * r) +  // of root r
                   alea() % static_cast<uint64_t>(2 * r + 1);
    int64_t attendu = debut;
    while (attendu <= fin && Nprem[static_cast<size_t>(attendu)] <= r &&
           s % static_cast<uint64_t>(Nprem[static_cast<size_t>(attendu)]) != 0)
      ++attendu;
    ASSERT_EQ(premier_arret(debut, fin, s, c), attendu)
        << s << " " << r << " " << debut << ".." << fin;
  }
}

bool premier_par_essais(uint64_t n) {
  if (n < 2) return false;
  for (uint64_t d = 2; d * d <= n; ++d)
    if (n % d == 0) return false;
  return true;
}

// Miller-Rabin against trial division on three windows below 10^7, and rho
// splitting every odd composite there; Carmichael numbers (every coprime
// base passes Fermat's test), the least strong pseudoprimes to all prime
// bases up to 7, 11, 13, 17 and 31 and to the bases 2, 7 and 61, and primes
// near 2^61, 2^63 and 2^64.
TEST(Premier, MillerRabinAndRhoAgreeWithTrialDivision) {
  for (uint64_t debut : {0, 999000, 9990000}) {
    for (uint64_t n = debut; n < debut + 10000; ++n) {
      const bool premier = premier_par_essais(n);
      ASSERT_EQ(est_premier(n), premier) << n;
      if (n % 2 == 0 || n < 9 || premier) continue;
      const uint64_t d = rho(n);
      ASSERT_TRUE(d > 1 && d < n && n % d == 0) << n;
    }
  }
  for (uint64_t n :
       {561ul, 1105ul, 1729ul, 2465ul, 2821ul, 6601ul, 8911ul,
        1005600264429655369ul, 3215031751ul, 4759123141ul, 2152302898747ul,
        3474749660383ul, 341550071728321ul, 3825123056546413051ul,
        4611686065672028281ul, 18446744073709551615ul})
    EXPECT_FALSE(est_premier(n)) << n;
  for (uint64_t n :
       {2305843009213693951ul, 9223372036854775783ul, 18446744073709551557ul})
    EXPECT_TRUE(est_premier(n)) << n;
}

}  // namespace
