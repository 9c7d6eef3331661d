// The prime table, the factorisation and the divisor listing, on the
// program-wide tables, checked against values worked out independently; and
// the primitive steps under them, each against a plain reference: the
// decimal counter, the integer root, and Miller-Rabin and rho.

#include <cmath>
#include <string>
#include <vector>

#include "arith/primalite.h"
#include "arith/racine.h"
#include "arith/rho.h"
#include "commun/commutateurs.h"
#include "console.h"
#include "diviseurs/calcul.h"
#include "diviseurs/liste_diviseurs.h"
#include "sortie/decimal.h"

namespace {

using Arith = ConsoleTest;

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

// Shapes of factorisation past the sieve's range below: the boundaries of
// 32-bit, double and 64-bit arithmetic, and above 2^53 the path that leaves
// the prime table alone.
TEST_F(Arith, FactorsCountAndSum) {
  const struct {
    int64_t n;
    const char* facteurs;
    int64_t nd;
    const char* somme;
  } lignes[] = {
      {1, "", 1, "1"},
      {1099511627776, "2^40", 41, "2199023255551"},
      {9437184, "2^20 3^2", 63, "27262963"},
      {8648640, "2^6 3^3 5 7 11 13", 448, "40965120"},
      {735134400, "2^6 3^3 5^2 7 11 13 17", 1344, "3809756160"},
      {963761198400, "2^6 3^4 5^2 7 11 13 17 19 23", 6720, "5531765944320"},
      {4294967295, "3 5 17 257 65537", 32, "7304603328"},
      {4294967296, "2^32", 33, "8589934591"},
      {4294967311, "4294967311", 2, "4294967312"},
      {999962000357, "999979 999983", 4, "999964000320"},
      {9007199254740991, "6361 69431 20394401", 8, "9008745449302368"},
      {9007199254740992, "2^53", 54, "18014398509481983"},
      {1152921504606846976, "2^60", 61, "2305843009213693951"},
      {9007199254740993, "3 107 28059810762433", 8, "12121838249371488"},
      {9223371994482243049, "3037000493^2", 3, "9223371997519243543"},
      {9223371873002223329, "3037000453 3037000493", 4, "9223371879076224276"},
      {INT64_MAX, "7^2 73 127 337 92737 649657", 96, "10994507040830097408"},
      {INT64_MAX - 1, "2 3 715827883 2147483647", 16, "18446744108069289984"},
      {INT64_MAX - 24, "9223372036854775783", 2, "9223372036854775784"},
      {897612484786617600, "2^8 3^4 5^2 7^2 11 13 17 19 23 29 31 37", 103680,
       "5785230588744499200"},
      {4052555153018976267, "3^39", 40, "6078832729528464400"},
      {9223372036854475807, "67 109 1262956598227369", 8,
       "9446915354740727600"},  // a sum in [2^63, 10^19)
      {9223253290108583207, "2097143^3", 4, "9223257688119442800"},
      {4611686018426847360, "2^7 3^2 5 7^2 11 13 839 3301 41257", 4608,
       "21796333637032281600"},  // below 2^62, a sum past 2^64
      // Rests past the walk: a Carmichael number, products of twin primes,
      // prime squares and cubes, two primes near 2^20 and 2^26.5 (above
      // 2^53: past the 172 primes below 1024), strong pseudoprimes to base 2.
      {1005600264429655369, "551347 1102693 1654039", 8, "1005603608246108480"},
      {1000076001443, "1000037 1000039", 4, "1000078001520"},
      {1000074001369, "1000037^2", 3, "1000075001407"},
      {1099515822059, "1048573 1048583", 4, "1099517919216"},
      {8999041792624001, "208001^3", 4, "8999085057248004"},
      {9007200654749953, "94906249 94906297", 4, "9007200844562500"},
      {9007205210252209, "94906297^2", 3, "9007205305158507"},
      {3215031751, "151 751 28351", 8, "3240747008"},
      {8791798054912, "2^32 23 89", 132, "18554258716560"}};
  for (const auto& l : lignes) {
    SCOPED_TRACE(l.n);
    const int64_t avant = np;
    N = S = l.n;
    rS = -1;
    diviseurs();
    EXPECT_EQ(facteurs(), l.facteurs);
    EXPECT_EQ(Nfact.size(), static_cast<size_t>(nf) + 1);
    EXPECT_EQ(S, 1);
    EXPECT_EQ(i, 1);
    // Above 2^53: no growth, and the walk's working values left alone.
    EXPECT_TRUE(l.n <= (int64_t{1} << 53) || (np == avant && rS == -1));
    EXPECT_EQ(ND1, l.nd);
    // ND1 divisors of N, increasing, from 1 to N: all of them.
    for (int64_t m = 1; m <= ND1; ++m)
      ASSERT_TRUE(Div[m] > Div[m - 1] && l.n % Div[m] == 0) << Div[m];
    EXPECT_EQ(Div[ND1], l.n);
    char somme[40];  // the sum may pass 2^64: compared in decimal
    EXPECT_EQ(std::string(somme, decimal::former(somme, Smax)), l.somme);
    couper();
  }
}

// Count and sum against a divisor-sum sieve, the divisors increasing and
// dividing N; and sigma(N) is odd exactly when N is a square or twice a
// square, a fact checked far beyond the sieve.
TEST_F(Arith, AgreesWithASieveAndWithTheParityOfSigma) {
  constexpr int64_t kFin = 200000;
  std::vector<int64_t> nombre(kFin + 1, 0), somme(kFin + 1, 0);
  for (int64_t d = 1; d <= kFin; ++d)
    for (int64_t m = d; m <= kFin; m += d) ++nombre[m], somme[m] += d;
  const bool avx512 = avx512_actif;
  auto carre = [](int64_t n) {
    const int64_t r = std::llround(std::sqrt(static_cast<double>(n)));
    return r * r == n;
  };
  // Each range on both paths of the walk and the merges: in AVX-512
  // registers, where the processor has it, and portable.
  for (const bool registres : {true, false})
    for (int64_t debut : {int64_t{1}, int64_t{1000000000000}}) {
      avx512_actif = registres && avx512;
      for (N = debut; N <= debut + (debut == 1 ? kFin - 1 : 50000); ++N) {
        S = N;
        diviseurs();
        ASSERT_EQ(Smax % 2 == 1, carre(N) || (N % 2 == 0 && carre(N / 2))) << N;
        ASSERT_TRUE(N > kFin ||
                    (ND1 == nombre[N] && Smax == static_cast<u128>(somme[N])))
            << N;
        // Increasing divisors of N, as many as N has: all of them.
        for (int64_t m = 1; m < ND1; ++m)
          ASSERT_TRUE(Div[m] < Div[m + 1] && N % Div[m] == 0) << N;
        couper();
      }
    }
  avx512_actif = avx512;
}

// A counter written with runs of consecutive values, its text incremented in
// place: into every digit count (9 to 10 ... 10^19 - 1 to 10^19), through
// carries that add no digit (1999 to 2000), with a carry out of its low
// eight digits and without, and up to UINT64_MAX. Each run starts after a
// value that is not its predecessor: the end of the run before, a value
// below it, the same value again, and 0 after UINT64_MAX, its successor only
// modulo 2^64.
TEST(Decimal, CounterAgreesWithAPlainConversion) {
  std::vector<std::pair<uint64_t, uint64_t>> suites = {{0, 12}};  // from, count
  for (int c = 1; c <= 19; ++c) {
    const uint64_t p = decimal::kPuissances[c];
    suites.insert(suites.end(), {{p - 3, 5}, {p + 1, 3}, {p - 2, 4}});
    if (c < 19) suites.emplace_back(2 * p - 2, 4);
  }
  suites.insert(suites.end(), {{123456789999999998, 4},
                               {18446744072999999998u, 4},
                               {UINT64_MAX - 3, 4},
                               {0, 3}});
  decimal::Compteur compteur;
  char t[24];
  for (const auto& [debut, nombre] : suites)
    for (uint64_t v = debut; v != debut + nombre; ++v)
      ASSERT_EQ(std::string(t, compteur.former(t, v)), std::to_string(v));
}

// racine on squares and their neighbours, r^2 - 1, r^2 and r^2 + 1, for r
// near every power of 2, near 2^26 (where the double estimate stops being
// exact) and up to 3037000499, the root of 2^63 - 1; checked in 128 bits.
TEST(Racine, SquaresAndTheirNeighbours) {
  std::vector<int64_t> lignes = {0, 1, 2, 3, INT64_MAX, INT64_MAX - 1};
  std::vector<int64_t> racines = {3037000499, 3037000498, 94906265, 67108863};
  for (int e = 1; e <= 31; ++e)
    for (int64_t d : {-1, 0, 1}) racines.push_back((int64_t{1} << e) + d);
  for (const int64_t r : racines)
    for (int64_t d : {-1, 0, 1}) lignes.push_back(r * r + d);
  for (const int64_t n : lignes) {
    const int64_t r = racine(n);
    const auto carre = [](int64_t x) { return static_cast<__int128>(x) * x; };
    EXPECT_TRUE(carre(r) <= n && carre(r + 1) > n) << n << " " << r;
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
        1005600264429655369ul, 3215031751ul, 4759123141ul, 1122004669633ul,
        2152302898747ul, 3474749660383ul, 341550071728321ul,
        3825123056546413051ul, 4611686065672028281ul, 18446744073709551615ul})
    EXPECT_FALSE(est_premier(n)) << n;
  for (uint64_t n :
       {2305843009213693951ul, 9223372036854775783ul, 18446744073709551557ul})
    EXPECT_TRUE(est_premier(n)) << n;
}

// The searches side by side on products of two and of three primes of every
// size from 2^20 to 2^32 (below 2^63), in one batch, then one alone: every
// lane takes several numbers and ends on one.
TEST(Premier, RhoSideBySideSplitsProductsOfTwoAndThreePrimes) {
  std::vector<uint64_t> p, nombres;
  for (uint64_t n = uint64_t{1} << 20; n <= uint64_t{1} << 32; n *= 4) {
    while (!est_premier(++n)) {
    }
    p.push_back(n);
  }
  for (const uint64_t a : p)
    for (const uint64_t b : p) {
      if (b >= a && a <= INT64_MAX / b) nombres.push_back(a * b);
      if (b > a && a * b <= INT64_MAX / p[0]) nombres.push_back(a * b * p[0]);
    }
  for (const size_t total : {nombres.size(), size_t{1}}) {
    std::vector<uint64_t> d(total);
    rho_par_lots(nombres.data(), total, d.data());
    for (size_t u = 0; u < total; ++u)
      EXPECT_TRUE(d[u] > 1 && d[u] < nombres[u] && nombres[u] % d[u] == 0)
          << nombres[u];
  }
}

}  // namespace
