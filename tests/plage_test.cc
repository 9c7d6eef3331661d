// A listing by slices of its range against the walk N after N, and that
// walk against the walk written step by step: the same bytes, and every
// program-wide variable the same after each N and where a listing ends.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "arith/primalite.h"
#include "arith/racine.h"
#include "commun/commutateurs.h"
#include "commun/vectoriel.h"
#include "console.h"
#include "diviseurs/calcul.h"
#include "driver/calcul2.h"
#include "driver/evenements.h"
#include "pas_a_pas.h"
#include "plage/equipe.h"
#include "plage/flux.h"
#include "plage/segments.h"
#include "plage/tranches.h"
#include "premiers/cribleurs.h"
#include "premiers/table_premiers.h"
#include "terminal/horloge.h"
#include "terminal/signaux.h"

namespace {

constexpr int64_t k53 = int64_t{1} << 53;

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

// The program's walk against the design's, written step by step, over the
// same N in the same order: every variable after each N, and the lines.
// From 1 on, then windows whose N need the table up to 10^6 and past,
// around the squares of the last prime walked (17863), of the next (17881)
// and of 1000003, across 2^32 and up to 2^53; numbers near the roots of
// products of two primes, squares and cubes; a prime followed by smaller N
// that need fewer primes. Up to 10^12 the design's walk grows its table by
// trial division; above, through the program's Suiv, for speed.
TEST_F(Plage, WalkLeavesTheStateOfTheStepByStepWalk) {
  partir();
  lister(1, 100, 1, INT64_MAX);  // the design's own example
  EXPECT_EQ(Nprem, (Table{0, 2, 3, 5, 7, 11}));
  EXPECT_EQ(j, 3);
  // A prime's square alone: the walk tries every prime up to that prime.
  partir();
  N = S = int64_t{1000003} * 1000003;
  calcul();
  EXPECT_EQ(Nprem[static_cast<size_t>(np)], 1000003);
#ifdef KELVARO_SOUS_SANITIZERS
  constexpr int64_t kPetits = 100000, kFenetre = 200;
#else
  constexpr int64_t kPetits = 1000000, kFenetre = 2000;
#endif
  std::vector<int64_t> suite;
  for (int64_t n = 1; n <= kPetits; ++n) suite.push_back(n);
  for (int64_t debut :
       {int64_t{1000000000}, int64_t{1} << 30, int64_t{17863} * 17863 - 1000,
        int64_t{17881} * 17881 - 1000, int64_t{4294967296} - 1000,
        int64_t{1000000000000}, int64_t{1} << 40, int64_t{5} << 40,
        int64_t{1000003} * 1000003 - 1000, k53 - kFenetre})
    for (int64_t n = debut; n < debut + kFenetre; ++n) suite.push_back(n);
  auto premier_apres = [](int64_t n) {
    while (!est_premier(static_cast<uint64_t>(++n))) {
    }
    return n;
  };
  for (int64_t p : {int64_t{1} << 20, int64_t{94905000}, int64_t{208000}}) {
    const int64_t q = premier_apres(p), r = premier_apres(q);
    suite.insert(suite.end(), {q * r, q * q, q * q * (q < 300000 ? q : 1)});
  }
  suite.insert(suite.end(), {9007199254740881, 999999999989, 1000003, 30, 1});
  // The program's walk, its state after each N kept as a hash.
  partir();
  std::vector<size_t> etats;
  for (size_t c = 0; c < suite.size(); ++c) {
    N = S = suite[c], parite = static_cast<int32_t>(c % 3);
    calcul();
    etats.push_back(std::hash<std::string>{}(etat()));
  }
  const std::string lignes = lu();
  partir();
  std::string lignes_pas;
  for (size_t c = 0; c < suite.size(); ++c) {
    N = S = suite[c], parite = static_cast<int32_t>(c % 3);
    calcul_pas_a_pas(N > 1000000000000 ? +[] { Suiv(); } : suiv_pas_a_pas,
                     lignes_pas);
    ASSERT_EQ(std::hash<std::string>{}(etat()), etats[c]) << N << " " << etat();
  }
  EXPECT_EQ(lignes, lignes_pas);
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
  setenv("KELVARO_FILS", "1", 1);  // threads have a test of their own
  for (int64_t lo = 1; lo <= 300; lo += kPas)
    for (int64_t hi = lo; hi <= 300; hi += kPas) comparer(lo, hi);
  unsetenv("KELVARO_FILS");
  const int64_t k16 = 65536, kHaut = 3037000499, p = 1000003, q = 1000033;
  const struct {
    const char* nom;
    int64_t lo, hi, avant = 0;
  } lignes[] = {
      {"square_of_2_16", k16 * k16 - 40, k16 * k16},
      {"doubled_square_of_2_16_plus_1", 2 * (k16 + 1) * (k16 + 1) - 5,
       2 * (k16 + 1) * (k16 + 1) + 1},
      {"doubled_square_of_2_16", 2 * k16 * k16 - 7, 2 * k16 * k16 + 7},
      {"square_of_the_root_of_2_63", kHaut * kHaut - 50, kHaut * kHaut},
      {"doubled_square_of_2_31_minus_1", 2 * 2147483647ll * 2147483647 - 9,
       2 * 2147483647ll * 2147483647 + 1},
      {"segments_of_2_15_slices_of_2_16", 1, 70000},
      {"across_two_slices", 65530, 65536 + 65537},
      {"inside_a_prime_gap", 1693182318746372, 1693182318747502},
      {"square_of_a_prime", p * p - 2000, p * p},
      {"below_a_prime_s_square", p * p - 2000, p * p - 1},
      {"product_of_two_primes", p * q - 1000, p * q},
      {"across_2_32", 4294967296 - 2000, 4294967296 + 2000},
      {"across_2_53", k53 - 3000, k53 + 3000},
      {"a_slice_ends_at_2_53_minus_1", 9007199254736895, 9007199254741000},
      {"from_2_53_itself", k53, k53 + 3000},
      {"4099_squared_left_past_the_sieve", 4099 * 4099 - 10, 4099 * 4099 + 10},
      {"sum_past_2_64", 3590449939146470390, 3590449939146470410},
      {"sum_past_2_64_at_its_end", 9223372000556244036 - 30,
       9223372000556244036},
      {"the_top", INT64_MAX - 2000, INT64_MAX},
      {"the_table_already_past_the_range", 10, 6000, 100000},
      {"a_streamed_slice", 10000000000000000, 10000000000020000},
  };
  for (const auto& l : lignes) {
    SCOPED_TRACE(l.nom);
    comparer(l.lo, l.hi, l.avant);
  }
}

// The sieving primes above a segment's length wait in buckets: a multiple
// of one of them on a segment's first N, on its last, on the range's first
// and last N, and just past the range; then ranges over slices, parts and
// segments, from 10^10 to 10^14, where most of those primes hit no segment.
TEST_F(Plage, BucketsTakeEachLargePrimeToItsMultiples) {
  constexpr int64_t p = 1000003, kp = p * 10000000, s = kSegment;
  // Near 10^14 the primes up to the root, 10^7, are sieved for 156,250 N
  // or more.
  constexpr int64_t q = 9999991, kq = q * 10000019;
  const struct {
    const char* nom;
    int64_t lo, hi;
  } lignes[] = {
      {"multiple_on_a_segment_s_first_n", kp - s, kp - s + 70000},
      {"multiple_on_a_segment_s_last_n", kp - s + 1, kp + 70000},
      {"multiple_on_the_range_s_first_n", kp, kp + 70000},
      {"multiple_on_the_range_s_last_n", kp - 99999, kp},
      {"multiple_just_past_the_range", kp - 99999, kp - 1},
      {"near_10_14_on_a_segment_s_first_n", kq - 3 * s, kq - 3 * s + 170000},
      {"slices_parts_segments_near_10_10", 10000000000, 10000300000},
      {"slices_parts_segments_near_10_12", 999999900000, 1000000200000}};
  for (const auto& l : lignes) {
    SCOPED_TRACE(l.nom);
    comparer(l.lo, l.hi);
  }
}

// The stream's primes against Miller-Rabin across its segments, and the
// distance of each to its first multiple past bases where the quotient in
// double precision is least exact; the vector paths and the portable ones.
TEST_F(Plage, StreamHandsOutThePrimesAndTheirFirstMultiples) {
  const Table& t = cribleurs_jusqua(65537);
  const auto flux = std::make_unique<Flux>();
  // The last base, 3037000493 * 1518500255, rounds down in double
  // precision, far enough for the quotient to come out one short.
  const uint64_t bases[] = {INT64_MAX, (uint64_t{1} << 53) + 1,
                            1000000000000000000, 3036999941ull * 3036999941,
                            4611686023055625715};
  for (const bool vectoriel : {true, false}) {
    avx512_actif = vectoriel && avx512_present();
    for (const auto& [apres, fin] :
         {std::pair{int64_t{65535}, int64_t{400000}},
          std::pair{int64_t{3036699999}, int64_t{3037000499}}}) {
      std::vector<uint32_t> vus, attendus;
      for (auto n = static_cast<uint64_t>(apres + 1); n <= uint64_t(fin); ++n)
        if (est_premier(n)) attendus.push_back(static_cast<uint32_t>(n));
      flux_debut(*flux, t, apres, fin);
      while (flux_suivant(*flux)) {
        vus.insert(vus.end(), flux->premiers, flux->premiers + flux->taille);
        for (const uint64_t b : bases) {
          flux_decalages(*flux, b);
          for (int64_t u = 0; u < flux->taille; ++u) {
            const uint64_t p = flux->premiers[u];
            ASSERT_EQ(flux->decalages[u], (p - b % p) % p) << b << " " << p;
          }
        }
      }
      EXPECT_EQ(vus, attendus) << apres << " " << vectoriel;
    }
  }
  avx512_actif = avx512_present();
}

// The streamed sieve against calcul on each N: products of the first primes
// streamed, segment edges, the largest prime below 2^31.5 on the first N,
// then on the last with the prime below it, a cube, the top; then a stop in
// the stream, and one after the first segment.
TEST_F(Plage, StreamedSieveListsAsCalculAndStopsWhereAsked) {
  const int64_t k16 = 65537 * int64_t{65539};
  std::vector<std::array<int64_t, 4>> lignes = {
      // lo, hi, limite, parity
      {k16 - 3000, k16 + 3000, INT64_MAX, 0},
      {9999999999999900, 10000000000032900, INT64_MAX, 2},
      {10000000000000000, 10000000000100000, 9999999999999999, 0},
      {10000000000000000, 10000000000100000, 10000000000000000, 2}};
#ifndef KELVARO_EMULE  // each row streams 50 to 150 million primes
  const int64_t p = 3037000493, q = 3037000453;
  const int64_t cube = int64_t{2097143} * 2097143 * 2097143;
  lignes.insert(lignes.end(),
                {{999999999999999900, 1000000000000032900, INT64_MAX, 0},
                 {p * p, p * p + 1500, INT64_MAX, 0},
                 {p * q - 1500, p * q, INT64_MAX, 0},
                 {cube - 700, cube + 700, INT64_MAX, 0},
                 {INT64_MAX - 1500, INT64_MAX - 1, INT64_MAX, 2}});
#endif
  static int64_t limite;
  for (const auto& [lo, hi, arret, par] : lignes) {
    partir();
    parite = static_cast<int32_t>(par);
    limite = arret;
    const int64_t fin = lister_crible(
        lo, hi, 65536, true, [](int64_t atteint) { return atteint < limite; });
    const std::string lignes_flux = lu();
    ASSERT_EQ(fin, arret == INT64_MAX ? hi
                   : arret < lo       ? lo - 1
                                      : lo + 32767)
        << lo;
    partir();
    parite = static_cast<int32_t>(par);
    for (N = lo; N <= fin; ++N) {
      S = N;
      calcul();
    }
    EXPECT_TRUE(lignes_flux == lu()) << lo;  // no diff of megabytes
  }
}

// The odd sums of long ranges, against calcul on their squares and doubled
// squares alone (no other N has an odd sum): blocks of 4096 k and slices
// of 2^15 k crossed, and the last squares below 2^63.
TEST_F(Plage, OddSumsOfLongRangesAreTheSquaresLines) {
  const int64_t kHaut = 3037000499;
  for (const auto& [lo, hi] :
       {std::pair{int64_t{1}, int64_t{33000} * 33000},
        std::pair{int64_t{1},
                  int64_t{4097} * 4097 + 1},  // a block's first k last
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
    // The dialogue up to the header, then the lines.
    std::string attendu = texte::kMin + texte::kMax;
    attendu.append(texte::kParite).append(texte::kEntete[1]).append(lu());
    ASSERT_EQ(tranches, attendu) << lo;
  }
}

// Every sieving prime placed at its first multiple past a part's start,
// from 2^40 (a quotient in double precision exact but for its rounding) to
// near 2^63 (the start itself rounded, down or up): the quotient one off
// either way for some of the 80,000 primes from 2^16 to 2^20.
TEST(Placement, EachPrimeAtItsFirstMultiple) {
  const auto poste = std::make_unique<Poste>();
  // 2^62 + 511 rounds down to 2^62, 2^63 - 2^17 up to 2^63.
  for (const int64_t lo :
       {int64_t{1} << 40, (int64_t{1} << 53) + 1, (int64_t{1} << 62) + 511,
        INT64_MAX - (int64_t{1} << 17)}) {
    const Crible c = preparer_crible(lo, lo + (int64_t{1} << 17) - 1,
                                     int64_t{1} << 20, false, false);
    placer(*poste, c, lo, c.fin);
    // The large primes: their multiple in the range, from its start.
    std::map<int64_t, int64_t> seaux;
    for (size_t s = 0; s < 4; ++s)
      for (const Coup coup : poste->seaux[s])
        seaux.emplace(coup.p, static_cast<int64_t>(s) * kSegment + coup.t);
    const Table& premiers = *c.premiers;
    int64_t places = 0, faux = 0;
    for (size_t u = 2; u < c.fin_premiers; ++u, ++places) {
      const int64_t p = premiers[u], d = (p - lo % p) % p;
      const auto ou = seaux.find(p);
      if (u < c.fin_petits)
        faux += poste->prochain[u] != static_cast<uint32_t>(d);
      else
        faux += d <= c.fin - lo ? ou == seaux.end() || ou->second != d
                                : ou != seaux.end();
    }
    EXPECT_GT(places, 80000) << lo;
    EXPECT_EQ(faux, 0) << lo;
  }
}

// The slices a listing is cut into, from its first N and then from near
// its end, at every magnitude and for each parity: each starts where the
// one before ended and ends within the listing, the last on its last N; no
// slice is sieved past the listing's largest bound (to which the table of
// sieving primes is grown once, before the threads start), a streamed one
// by every prime up to the root; the first is never streamed, and no
// streamed slice is longer than kFenetre. Then the parts of the second
// slice on 1 to 64 threads: 1 to 64 segments, and two per thread at the
// least (about four) where the primes to place are few and the slice long
// enough.
TEST(Planification, SlicesAndPartsTileTheListing) {
  const struct {
    const char* nom;
    int64_t premier, dernier;
  } lignes[] = {
      {"from_1", 1, 10000000},
      {"near_10_12", 1000000000000, 1000100000000},
      {"the_full_sieve_s_end_2_50", (int64_t{1} << 49), (int64_t{1} << 51)},
      {"near_10_15", 1000000000000000, 1000000001000000},
      {"streamed_near_10_16", 10000000000000000, 10000000100000000},
      {"short_near_10_18", 1000000000000000000, 1000000000000200000},
      {"across_2_53", k53 - 100000000, k53 + 100000000},
      {"up_to_the_top", INT64_MAX - 10000000000, INT64_MAX}};
  for (const auto& l : lignes)
    for (int par = 0; par <= 2; ++par) {
      SCOPED_TRACE(std::string(l.nom) + " parity " + std::to_string(par));
      Nmax = l.dernier;
      parite = par;
      const int64_t longueur = l.dernier - l.premier + 1;
      const int64_t plafond = borne_de_la_liste(l.premier, l.dernier);
      for (const int64_t depart :
           {l.premier, std::max(l.premier, l.dernier - 5000000)}) {
        int64_t fin = depart - 1;  // the last N planned
        for (int k = 0; k < 2000 && fin < l.dernier; ++k) {
          const int64_t debut = fin + 1;
          const PlanDeTranche plan =
              planifier(debut, longueur, debut == l.premier);
          ASSERT_TRUE(plan.fin >= debut && plan.fin <= l.dernier) << debut;
          EXPECT_TRUE(par == 1 || plan.borne <= plafond) << debut;
          EXPECT_TRUE(par == 1 || !plan.flux ||
                      (debut > l.premier && plan.fin - debut < kFenetre))
              << debut;
          fin = plan.fin;
        }
        EXPECT_TRUE(depart == l.premier || fin == l.dernier);
      }
      // The parts of the second slice: the first is short.
      const int64_t premiere_fin = planifier(l.premier, longueur, true).fin;
      if (par == 1 || premiere_fin >= l.dernier - 1) continue;
      const int64_t second = premiere_fin + 1;
      const PlanDeTranche plan = planifier(second, longueur, false);
      const Crible c =
          preparer_crible(second, std::min(plan.fin, l.dernier - 1), plan.borne,
                          plan.flux, par == 2);
      const int64_t segments = (c.fin - c.debut) / kSegment + 1;
      for (const int fils : {1, 2, 3, 7, 16, 64}) {
        const int64_t par_part = segments_par_part(c, fils);
        EXPECT_TRUE(par_part >= 1 && par_part <= 64) << fils;
        EXPECT_TRUE(c.fin_premiers >= (size_t{1} << 18) ||
                    segments < int64_t{4} * fils ||
                    (segments + par_part - 1) / par_part >= int64_t{2} * fils)
            << fils;
      }
    }
}

// KELVARO_FILS taken from 1 to 1024; anything else, or nothing, gives the
// CPUs the process may run on.
TEST(Fils, FromTheEnvironmentOrTheCpus) {
  unsetenv("KELVARO_FILS");
  const int cpus = fils_voulus();
  ASSERT_GE(cpus, 1);
  const std::pair<const char*, int> lignes[] = {
      {"1", 1},       {"2", 2},     {"1024", 1024}, {"0", cpus},
      {"1025", cpus}, {"-3", cpus}, {"3x", cpus},   {"", cpus}};
  for (const auto& [valeur, attendu] : lignes) {
    setenv("KELVARO_FILS", valeur, 1);
    EXPECT_EQ(fils_voulus(), attendu) << '"' << valeur << '"';
  }
  unsetenv("KELVARO_FILS");
}

// Each parity by 2, 3 and 7 threads against one (itself the walk's, above):
// the bytes and the end state, on a range inside the first slice, one that
// ends on its last N, one N past it, 2^17 - 1 N, and over many slices, from
// small N to the top, streamed above 10^16.
TEST_F(Plage, ThreadsListAsOneThreadDoes) {
#ifdef KELVARO_SOUS_SANITIZERS
  constexpr int64_t kLong = 60000;
#else
  constexpr int64_t kLong = 300000;
#endif
  // Near 10^11, many primes to place at each part's start, for more N than
  // the root / 16, under which a listing stays on one thread.
  std::vector<std::pair<int64_t, int64_t>> lignes = {
      {1, 3000},
      {1, 65537},
      {1, 65538},
      {1, 131071},
      {1, 7 * kLong},
      {1000000000000, 1000000000000 + kLong},
      {100000000000, 100000000000 + 2 * kLong}};
#ifndef KELVARO_EMULE
  // A short streamed listing: a part of one segment per thread or so.
  lignes.insert(lignes.end(),
                {{1000000000000000000, 1000000000000000000 + kLong},
                 {1000000000000000000, 1000000000000000000 + 200000},
                 {INT64_MAX - kLong, INT64_MAX}});
#endif
  // The threads first: each row's first listing finds the sieving table as
  // short as the rows before left it, and must grow it before they start.
  for (const auto& [lo, hi] : lignes)
    for (int par = 0; par <= 2; ++par) {
      std::vector<Issue> issues;
      for (const char* fils : {"2", "3", "7", "1"}) {
        setenv("KELVARO_FILS", fils, 1);
        partir();
        issues.push_back(lister(lo, hi, par, 0));
      }
      for (size_t u = 0; u < 3; ++u) {
        ASSERT_TRUE(issues[u].sortie == issues[3].sortie) << lo << " " << par;
        ASSERT_EQ(issues[u].etat, issues[3].etat) << lo << " " << par;
      }
    }
  unsetenv("KELVARO_FILS");
}

// Ctrl-C seen at the first look stops the listing there (one thread: at the
// end of the first slice; several: after the lines written so far, slices
// being worked on ahead), with the lines and the state of a listing that
// ends at the N it stopped at (itself the walk's, above).
TEST_F(Plage, CtrlCStopsAtTheEndOfASlice) {
  constexpr int64_t kDebut = 1000000, kFin = 2000000000;
  for (int cas = 0; cas < 9; ++cas) {
    const int par = cas % 3;
    setenv("KELVARO_FILS", cas < 3 ? "1" : cas < 6 ? "2" : "7", 1);
    partir();
    N = kDebut - 1, Nmax = kFin, parite = par;
    evenement = 1;
    interruption = 1;
    lister_par_tranches(continuer_la_liste);
    evenement = 0;
    interruption = 0;
    const Issue arretee{lu(), etat()};
    const int64_t arret = N;
    ASSERT_TRUE(arret >= kDebut && arret < kFin) << cas << " " << arret;
    partir();
    N = kDebut - 1, Nmax = arret, parite = par;
    lister_par_tranches(continuer_la_liste);
    Nmax = kFin;
    EXPECT_TRUE(arretee.sortie == lu()) << cas;
    EXPECT_EQ(arretee.etat, etat()) << cas;
  }
  unsetenv("KELVARO_FILS");
}

}  // namespace
