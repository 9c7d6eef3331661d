// The primitive steps under the arithmetic: the decimal writer, divisibility
// through the inverse, the scan of the prime table, the sieve behind Suiv and
// the ordering of the divisors, each against a plain reference.

#include <random>
#include <string>
#include <vector>

#include "arith/calcul.h"
#include "arith/decomp.h"
#include "arith/essai.h"
#include "arith/inverse.h"
#include "arith/premiers.h"
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
  for (u128 v : lignes) {
    const std::string attendu = reference(v);
    EXPECT_EQ(std::string(t, decimal::ecrire(t, v)), attendu);
    if (v <= UINT64_MAX) {
      EXPECT_EQ(std::string(t, decimal::ecrire(t, static_cast<uint64_t>(v))),
                attendu);
    }
  }
}

TEST(Inverse, DivisibilityAgreesWithTheRemainder) {
  const uint64_t grands[] = {0,
                             1,
                             2,
                             96,
                             97,
                             98,
                             9007199254740881,
                             9007199254740992,
                             9223372036854775807u,
                             UINT64_MAX};
  for (uint64_t p : {3u, 5u, 7u, 97u, 65537u, 94906267u, 3037000507u}) {
    const uint64_t inv = inverse(p);
    EXPECT_EQ(p * inv, 1u) << p;
    const uint64_t plus_grand_multiple = UINT64_MAX / p * p;
    for (uint64_t s : {p - 1, p, p + 1, p * p, plus_grand_multiple,
                       plus_grand_multiple - p, plus_grand_multiple + 1})
      EXPECT_EQ(divise(s, p, inv), s % p == 0) << s << " / " << p;
    for (uint64_t s : grands) EXPECT_EQ(divise(s, p, inv), s % p == 0) << s;
    for (uint64_t s = 0; s < 3000; ++s)
      ASSERT_EQ(divise(s, p, inv), s % p == 0) << s;
  }
}

TEST_F(Primitives, SieveHandsOutTheSamePrimesAsTrialDivision) {
  i = 1;
  while (Nprem.back() < 2000000) Suiv();
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
  EXPECT_EQ(Ninv.size(), Nprem.size());
  Nprem = {0, 2, 3};  // the table set afresh: the sieve starts again
  np = 2;
  Suiv();
  EXPECT_EQ(Nprem, (Table{0, 2, 3, 5}));
  S = 999962000357;  // the factorisation realigns the inverses
  decomp();
  EXPECT_EQ(Nfact, (Table{0, 999979, 999983}));
}

TEST_F(Primitives, ScanStopsAtTheFirstDivisorOrAtTheRoot) {
  i = 1;
  while (np < 300) Suiv();
  caler_inverses();
  std::mt19937_64 alea(5);
  for (int essai = 0; essai < 3000; ++essai) {
    const int64_t debut = 2 + static_cast<int64_t>(alea() % 40);
    const int64_t fin = debut + static_cast<int64_t>(alea() % 20) - 1;
    const uint64_t s = alea() >> (1 + alea() % 50);
    const int64_t r = static_cast<int64_t>(alea() % 3000);
    int64_t attendu = debut;
    while (attendu <= fin && Nprem[static_cast<size_t>(attendu)] <= r &&
           s % static_cast<uint64_t>(Nprem[static_cast<size_t>(attendu)]) != 0)
      ++attendu;
    ASSERT_EQ(premier_arret(debut, fin, s, r), attendu)
        << s << " " << r << " " << debut << ".." << fin;
  }
}

// The divisors come out of the odometer in blocks of runs; merged, they
// must be increasing for every shape of exponents.
TEST_F(Primitives, OdometerRunsMergeIntoIncreasingOrder) {
  const int64_t lignes[] = {2 * 3 * 5 * 7 * 11 * 13,  // exponents all 1
                            int64_t{1} << 40,         // one prime
                            (int64_t{1} << 20) * 9,   // a long first run
                            3 * (int64_t{1} << 20),   // a long last run
                            735134400,
                            897612484786617600,
                            963761198400};
  for (int64_t n : lignes) {
    N = S = n;
    diviseurs();
    for (int64_t m = 1; m < ND1; ++m) ASSERT_LT(Div[m], Div[m + 1]) << n;
    EXPECT_EQ(Div[ND1], n);
    couper();
  }
}

}  // namespace
