// A listing by slices of its range against the walk N after N, and that
// walk against the walk written step by step: the same bytes, and every
// program-wide variable the same where the listing ends.

#include <cstdint>
#include <string>
#include <vector>

#include "arith/calcul.h"
#include "arith/racine.h"
#include "arith/table_premiers.h"
#include "console.h"
#include "driver/calcul2.h"
#include "pas_a_pas.h"
#include "terminal/horloge.h"
#include "terminal/signaux.h"

namespace {

constexpr int64_t k53 = int64_t{1} << 53;

// The dialogue of a calculation up to its header, for parity par.
std::string entete(int par) {
  std::string t = texte::kMin;
  t += texte::kMax;
  t += texte::kParite;
  t += texte::kEntete[par];
  return t;
}

struct Issue {
  std::string sortie, etat;
};

class Plage : public ConsoleTest {
 protected:
  // Fresh state, the table seeded, after an optional first walk whose
  // lines are dropped.
  void partir(int64_t premier = 0, int64_t dernier = 0) {
    etat_initial();
    Nprem = kGraine;
    np = 2;
    parite = 1;  // few lines to drop
    for (N = premier; N <= dernier && N > 0; ++N) {
      S = N;
      calcul();
    }
    nN = 0;
    lu();
  }

  // One listing through the dialogue, by slices from `seuil` N on.
  Issue lister(int64_t lo, int64_t hi, int par, int64_t seuil) {
    seuil_plage = seuil;
    fournir(std::to_string(lo) + " " + std::to_string(hi) + " " +
            std::to_string(par));
    calcul2();
    seuil_plage = kSeuilPlage;
    return {lu(), etat()};
  }

  // Each parity: by slices, then N after N, from the same start.
  void comparer(int64_t lo, int64_t hi, int64_t avant = 0) {
    for (int par = 0; par <= 2; ++par) {
      partir(1, avant);
      const Issue tranches = lister(lo, hi, par, 0);
      partir(1, avant);
      const Issue pas = lister(lo, hi, par, INT64_MAX);
      ASSERT_EQ(tranches.sortie, pas.sortie) << lo << ".." << hi << " " << par;
      ASSERT_EQ(tranches.etat, pas.etat) << lo << ".." << hi << " " << par;
    }
  }
};

TEST_F(Plage, SuivLeavesThePrimesAndJOfTrialDivision) {
  partir();
  i = 1;
  Table ref = Nprem;
  int64_t np_ref = np, j_ref = 0;
  for (int n = 0; n < 20000; ++n) {
    std::swap(Nprem, ref), std::swap(np, np_ref), std::swap(j, j_ref);
    suiv_pas_a_pas();
    std::swap(Nprem, ref), std::swap(np, np_ref), std::swap(j, j_ref);
    Suiv();
    ASSERT_EQ(Nprem.back(), ref.back());
    ASSERT_EQ(j, j_ref) << Nprem.back();
    ASSERT_EQ(i, 1);
  }
  // In bulk, to the same table and the same j.
  partir();
  etendre_jusqua(ref.back());
  EXPECT_EQ(Nprem, ref);
  EXPECT_EQ(j, j_ref);
}

// The program's walk N after N against the design's, every variable, from
// the seeded table and after a first listing; "after 1 to 100 the table is
// [0, 2, 3, 5, 7, 11] and j stops at 5, index 3".
TEST_F(Plage, WalkLeavesTheStateOfTheStepByStepWalk) {
  partir();
  lister(1, 100, 1, INT64_MAX);
  EXPECT_EQ(Nprem, (Table{0, 2, 3, 5, 7, 11}));
  EXPECT_EQ(j, 3);
  const struct {
    int64_t avant, lo, hi;
  } lignes[] = {{0, 1, 1},
                {0, 1, 300},
                {300, 1, 1},
                {0, 97, 121},
                {0, 1000, 1100},
                {5000, 7, 9},
                {0, 999990, 1000050},
                {0, 1000003ll * 1000003 - 30, 1000003ll * 1000003 + 3},
                {0, 4294967196, 4294967396}};
  for (const auto& l : lignes)
    for (int par = 0; par <= 2; ++par) {
      partir(1, l.avant);
      const Issue programme = lister(l.lo, l.hi, par, INT64_MAX);
      partir();
      for (N = 1; N <= l.avant; ++N) {
        S = N;
        std::string ignorees;
        calcul_pas_a_pas(suiv_pas_a_pas, ignorees);
      }
      nN = 0, parite = par, Nmax = l.hi;
      std::string lignes_pas;
      for (N = l.lo; N <= l.hi; ++N) {
        S = N;
        calcul_pas_a_pas(suiv_pas_a_pas, lignes_pas);
      }
      N = l.hi;
      EXPECT_EQ(programme.etat, etat()) << l.lo << " " << par;
      EXPECT_EQ(programme.sortie, entete(par).append(lignes_pas))
          << l.lo << " " << par;
    }
}

// Every range within 1 to 300 (fewer under the sanitizers) by slices against
// the walk; then ranges whose ends sit on squares, doubled squares, slice
// and segment edges, prime squares, 2^32, 2^53, the longest prime gap
// tried, and the top where the sums pass 2^64.
TEST_F(Plage, SlicesLeaveTheBytesAndTheStateOfTheWalk) {
#ifdef KELVARO_SOUS_SANITIZERS
  constexpr int64_t kPas = 23;
#else
  constexpr int64_t kPas = 1;
#endif
  for (int64_t lo = 1; lo <= 300; lo += kPas)
    for (int64_t hi = lo; hi <= 300; hi += kPas) comparer(lo, hi);
  const int64_t k16 = 65536, kHaut = 3037000499, p = 1000003, q = 1000033;
  const struct {
    int64_t lo, hi, avant;
  } lignes[] = {
      {k16 * k16 - 40, k16 * k16, 0},
      {2 * (k16 + 1) * (k16 + 1) - 5, 2 * (k16 + 1) * (k16 + 1) + 1, 0},
      {2 * k16 * k16 - 7, 2 * k16 * k16 + 7, 0},
      {kHaut * kHaut - 50, kHaut * kHaut, 0},
      {2 * 2147483647ll * 2147483647 - 9, 2 * 2147483647ll * 2147483647 + 1, 0},
      {1, 70000, 0},  // segments of 2^15, slices of 2^16
      {65530, 65536 + 65537, 0},
      {1693182318746372, 1693182318747502, 0},  // inside a prime gap
      {p * p - 2000, p * p, 0},
      {p * p - 2000, p * p - 1, 0},
      {p * q - 1000, p * q, 0},
      {4294967296 - 2000, 4294967296 + 2000, 0},
      {k53 - 3000, k53 + 3000, 0},
      {9223372000556244036 - 30, 9223372000556244036, 0},
      {INT64_MAX - 2000, INT64_MAX, 0},
      {10, 6000, 100000},  // the table already past the range
  };
  for (const auto& l : lignes) comparer(l.lo, l.hi, l.avant);
}

// The odd sums of long ranges, against calcul on their squares and doubled
// squares alone (no other N has an odd sum): blocks of 4096 k and slices
// of 2^15 k crossed, and the last squares below 2^63.
TEST_F(Plage, OddSumsOfLongRangesAreTheSquaresLines) {
  const int64_t kHaut = 3037000499;
  for (const auto& [lo, hi] :
       {std::pair{int64_t{1}, int64_t{33000} * 33000},
        std::pair{(kHaut - 40000) * (kHaut - 40000), INT64_MAX}}) {
    partir();
    const std::string tranches = lister(lo, hi, 1, 0).sortie;
    partir();
    parite = 1;
    std::vector<int64_t> impairs;
    for (int64_t m = racine(lo / 2); m <= racine(hi); ++m)
      for (const int64_t v : {m * m, m <= 2147483647 ? 2 * m * m : 0})
        if (v >= lo && v <= hi) impairs.push_back(v);
    std::sort(impairs.begin(), impairs.end());
    for (const int64_t v : impairs) {
      N = S = v;
      calcul();
    }
    ASSERT_EQ(tranches, entete(1).append(lu())) << lo;
  }
}

// Ctrl-C seen at the end of the first slice stops the listing there, with
// the lines and the state of a listing that ends at that slice's last N
// (itself the walk's, above).
TEST_F(Plage, CtrlCStopsAtTheEndOfASlice) {
  constexpr int64_t kDebut = 1000000, kFin = 2000000000;
  for (int par = 0; par <= 2; ++par) {
    partir();
    N = kDebut - 1, Nmax = kFin, parite = par;
    evenement = 1;
    interruption = 1;
    lister_par_tranches();
    evenement = 0;
    interruption = 0;
    const Issue arretee{lu(), etat()};
    const int64_t arret = N;
    ASSERT_TRUE(arret > kDebut && arret < kFin) << par << " " << arret;
    partir();
    N = kDebut - 1, Nmax = arret, parite = par;
    lister_par_tranches();
    Nmax = kFin;
    EXPECT_EQ(arretee.sortie, lu()) << par;
    EXPECT_EQ(arretee.etat, etat()) << par;
  }
}

}  // namespace
