// Miller-Rabin, rho and the factorisation above 2^53, against trial
// division and against factors and sums worked out independently.

#include <cstdint>
#include <string>

#include "arith/calcul.h"
#include "arith/premier.h"
#include "arith/rho.h"
#include "console.h"

namespace {

bool premier_par_essais(uint64_t n) {
  if (n < 2) return false;
  for (uint64_t d = 2; d * d <= n; ++d)
    if (n % d == 0) return false;
  return true;
}

TEST(Premier, AgreesWithTrialDivisionBelowTenMillion) {
  for (uint64_t debut : {0, 999000, 9990000})
    for (uint64_t n = debut; n < debut + 10000; ++n)
      ASSERT_EQ(est_premier(n), premier_par_essais(n)) << n;
}

// Carmichael numbers (every coprime base passes Fermat's test), the least
// strong pseudoprimes to all prime bases up to 7, 11, 13, 17 and 31, and
// primes near 2^61, 2^63 and 2^64.
TEST(Premier, PseudoprimesCarmichaelsAndLargePrimes) {
  const uint64_t composes[] = {561,
                               1105,
                               1729,
                               2465,
                               2821,
                               6601,
                               8911,
                               1005600264429655369,
                               3215031751,
                               2152302898747,
                               3474749660383,
                               341550071728321,
                               3825123056546413051,
                               4611686065672028281,
                               18446744073709551615u};
  const uint64_t premiers[] = {2305843009213693951, 9223372036854775783,
                               18446744073709551557u};
  for (uint64_t n : composes) EXPECT_FALSE(est_premier(n)) << n;
  for (uint64_t n : premiers) EXPECT_TRUE(est_premier(n)) << n;
}

TEST(Rho, FindsAProperDivisorOfEveryComposite) {
  for (uint64_t n = 9; n < 20000; n += 2) {
    if (premier_par_essais(n)) continue;
    const uint64_t d = rho(n);
    ASSERT_TRUE(d > 1 && d < n && n % d == 0) << n;
  }
}

// Nfact and Nexpo written as "p^e q ...", the exponent 1 left out.
std::string facteurs() {
  std::string t;
  for (int32_t m = 1; m <= nf; ++m) {
    if (m > 1) t += ' ';
    t += std::to_string(Nfact[m]);
    if (Nexpo[m] > 1) t.append("^").append(std::to_string(Nexpo[m]));
  }
  return t;
}

using Grands = ConsoleTest;

TEST_F(Grands, FactorsCountAndSumAboveTwoToThe53) {
  const struct {
    int64_t n;
    const char* facteurs;
    int64_t nd;
    const char* somme;
  } lignes[] = {
      {9007199254740993, "3 107 28059810762433", 8, "12121838249371488"},
      {2305843009213693951, "2305843009213693951", 2, "2305843009213693952"},
      {4611686065672028281, "2147483659^2", 3, "4611686067819511941"},
      {4611686138686472687, "2147483659 2147483693", 4, "4611686142981440040"},
      {9223371994482243049, "3037000493^2", 3, "9223371997519243543"},
      {9223371873002223329, "3037000453 3037000493", 4, "9223371879076224276"},
      {INT64_MAX, "7^2 73 127 337 92737 649657", 96, "10994507040830097408"},
      {INT64_MAX - 1, "2 3 715827883 2147483647", 16, "18446744108069289984"},
      {9223372036854775783, "9223372036854775783", 2, "9223372036854775784"},
      {897612484786617600, "2^8 3^4 5^2 7^2 11 13 17 19 23 29 31 37", 103680,
       "5785230588744499200"},
      {4052555153018976267, "3^39", 40, "6078832729528464400"},
      {9223253290108583207, "2097143^3", 4, "9223257688119442800"},
      {1152970983249807587, "1048583 1048589 1048601", 8,
       "1152974281882209120"},
  };
  for (const auto& ligne : lignes) {
    SCOPED_TRACE(ligne.n);
    N = S = ligne.n;
    diviseurs();
    EXPECT_EQ(facteurs(), ligne.facteurs);
    EXPECT_EQ(Nfact.size(), static_cast<size_t>(nf) + 1);
    EXPECT_EQ(S, 1);
    EXPECT_EQ(i, 1);
    sommer();
    EXPECT_EQ(ND1, ligne.nd);
    ecrire_nombre(Smax);  // the sum may pass 2^64: compared in decimal
    EXPECT_EQ(lu(), ligne.somme);
    sortie.clear();
    couper();
  }
  // Not one prime was added to the table for all these numbers.
  EXPECT_EQ(Nprem, (Table{0, 2, 3}));
  EXPECT_EQ(np, 2);
}

}  // namespace
