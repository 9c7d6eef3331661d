// The prime table, the factorisation and the divisor listing, on the
// program-wide tables, checked against values worked out independently.

#include <cmath>
#include <vector>

#include "arith/calcul.h"
#include "arith/decomp.h"
#include "arith/premiers.h"
#include "console.h"

namespace {

using Arith = ConsoleTest;

// Runs the walk over [premier, dernier] as calcul2 does.
void parcourir(int64_t premier, int64_t dernier) {
  for (N = premier; N <= dernier; ++N) {
    S = N;
    calcul();
  }
}

TEST_F(Arith, SuivAppendsThePrimesInTurn) {
  i = 1;  // as the factorisation leaves it
  for (int64_t p : {5, 7, 11, 13, 17, 19, 23, 29}) {
    Suiv();
    EXPECT_EQ(Nprem.back(), p);
    EXPECT_EQ(np + 1, static_cast<int64_t>(Nprem.size()));
    EXPECT_EQ(i, 1);
  }
}

TEST_F(Arith, TableGrowsOnlyWhenTheFactorisationNeedsIt) {
  std::vector<int64_t> croissances;
  for (N = 1; N <= 60; ++N) {
    const int64_t avant = np;
    S = N;
    calcul();
    if (np != avant) croissances.push_back(N);
  }
  EXPECT_EQ(croissances, (std::vector<int64_t>{11, 29, 53}));
  parcourir(61, 100);
  EXPECT_EQ(Nprem, (Table{0, 2, 3, 5, 7, 11}));
  EXPECT_EQ(np, 5);
  parcourir(1, 100);  // a second calculation needs no larger prime
  EXPECT_EQ(np, 5);
}

struct Facteurs {
  int64_t n;
  Table nfact, nexpo;
};

TEST_F(Arith, DecompFindsEachPrimeWithItsExponent) {
  const Facteurs lignes[] = {
      {1, {0}, {0}},
      {2, {0, 2}, {0, 1}},
      {12, {0, 2, 3}, {0, 2, 1}},
      {25, {0, 5}, {0, 2}},
      {97, {0, 97}, {0, 1}},
      {4294967295, {0, 3, 5, 17, 257, 65537}, {0, 1, 1, 1, 1, 1}},
      {999962000357, {0, 999979, 999983}, {0, 1, 1}},
      {INT64_MAX, {0, 7, 73, 127, 337, 92737, 649657}, {0, 2, 1, 1, 1, 1, 1}},
  };
  for (const Facteurs& ligne : lignes) {
    SCOPED_TRACE(ligne.n);
    S = ligne.n;
    decomp();
    EXPECT_EQ(Nfact, ligne.nfact);
    EXPECT_EQ(Nexpo, ligne.nexpo);
    EXPECT_EQ(nf + 1, static_cast<int32_t>(ligne.nfact.size()));
    EXPECT_EQ(S, 1);
    couper();
  }
}

TEST_F(Arith, OdometerVisitsEveryExponentVectorInOrder) {
  nf = 2;
  Nexpo = {0, 2, 1};
  Prod = {0, 0, 0, 0};
  k = 1;
  std::vector<std::pair<int64_t, int64_t>> vus;
  for (int pas = 0; pas < 6; ++pas) {
    vus.emplace_back(Prod[1], Prod[2]);
    suiv2();
  }
  const std::vector<std::pair<int64_t, int64_t>> attendu = {
      {0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
  EXPECT_EQ(vus, attendu);
  EXPECT_EQ(k, 6);  // the last step found nothing left to advance
}

TEST_F(Arith, DivisorsOfTwelveInOrder) {
  N = S = 12;
  diviseurs();
  EXPECT_EQ(Div, (Table{0, 1, 2, 3, 4, 6, 12, 0, 0, 0, 0}));
  EXPECT_EQ(ND1, 6);
  sommer();
  EXPECT_EQ(Smax, 28u);
  couper();
  for (const Table* t : {&Div, &Prod, &Nexpo, &Nfact}) EXPECT_EQ(*t, Table{0});
}

struct Somme {
  int64_t n, nd;
  u128 somme;
};

TEST_F(Arith, CountAndSumAtTheBoundaries) {
  const Somme lignes[] = {
      {1, 1, 1},
      {999983, 2, 999984},
      {735134400, 1344, 3809756160},
      {4294967295, 32, 7304603328},
      {4294967296, 33, 8589934591},
      {4294967311, 2, 4294967312},
      {9007199254740991, 8, 9008745449302368},
      {9007199254740992, 54, 18014398509481983},
      {9007199254740993, 8, 12121838249371488},
      {INT64_MAX, 96, static_cast<u128>(10994507040830097408u)},
  };
  for (const Somme& ligne : lignes) {
    SCOPED_TRACE(ligne.n);
    N = S = ligne.n;
    diviseurs();
    sommer();
    EXPECT_EQ(ND1, ligne.nd);
    EXPECT_TRUE(Smax == ligne.somme);
    for (int64_t m = 2; m <= ND1; ++m) ASSERT_LT(Div[m - 1], Div[m]);
    EXPECT_EQ(Div[ND1], ligne.n);
    couper();
  }
}

TEST_F(Arith, AgreesWithADivisorSieve) {
  constexpr int64_t kFin = 200000;
  std::vector<int64_t> nombre(kFin + 1, 0), somme(kFin + 1, 0);
  for (int64_t d = 1; d <= kFin; ++d)
    for (int64_t m = d; m <= kFin; m += d) ++nombre[m], somme[m] += d;
  for (N = 1; N <= kFin; ++N) {
    S = N;
    diviseurs();
    sommer();
    ASSERT_EQ(ND1, nombre[N]) << N;
    ASSERT_TRUE(Smax == static_cast<u128>(somme[N])) << N;
    couper();
  }
}

// sigma(N) is odd exactly when N is a square or twice a square.
TEST_F(Arith, OddSumsAreSquaresAndTwiceSquares) {
  auto carre = [](int64_t n) {
    const int64_t r = std::llround(std::sqrt(static_cast<double>(n)));
    return r * r == n;
  };
  for (int64_t debut : {int64_t{1}, int64_t{1000000000000}}) {
    for (N = debut; N < debut + 50000; ++N) {
      S = N;
      diviseurs();
      sommer();
      const bool impair = carre(N) || (N % 2 == 0 && carre(N / 2));
      ASSERT_EQ(Smax % 2 == 1, impair) << N;
      couper();
    }
  }
}

TEST_F(Arith, ResultLineOnlyForTheWantedParity) {
  parite = 2;
  parcourir(1, 4);
  parite = 1;
  parcourir(5, 9);
  EXPECT_EQ(lu(), texte::ligne("1", "3", "2", "4") +
                      texte::ligne("2", "8", "4", "15") +
                      texte::ligne("3", "9", "3", "13"));
  EXPECT_EQ(nN, 3);
}

}  // namespace
