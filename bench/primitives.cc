// Micro-benchmarks of kelvaro's primitive steps: growth of the prime table,
// factorisation of large primes, the divisors of highly composite N, and the
// decimal writer.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "arith/decomp.h"
#include "commun/commutateurs.h"
#include "diviseurs/calcul.h"
#include "diviseurs/liste_diviseurs.h"
#include "premiers/table_premiers.h"
#include "sortie/decimal.h"
#include "sortie/sortie.h"
#include "state/state.h"

namespace {

// The state main() leaves before the first calculation, output kept in a
// string so that nothing reaches the benchmark's own report.
std::string sortie;
void depart() {
  etat_initial();
  Nprem = {0, 2, 3};
  np = 2;
  sortie_capture = &sortie;
}

// Grows the table from its seed to every prime below the argument.
void TablePremiers(benchmark::State& etat) {
  const int64_t jusqua = etat.range(0);
  for (auto _ : etat) {
    depart();
    i = 1;
    while (Nprem.back() < jusqua) Suiv();
    benchmark::DoNotOptimize(np);
  }
  etat.counters["premiers"] = static_cast<double>(np);
}
BENCHMARK(TablePremiers)
    ->Arg(1000000)
    ->Arg(100000000)
    ->Unit(benchmark::kMillisecond);

// decomp of a prime: every prime up to its root is tried (table grown first).
void DecompPremier(benchmark::State& etat) {
  const int64_t n = etat.range(0);
  depart();
  S = n;
  decomp();
  couper();
  for (auto _ : etat) {
    S = n;
    decomp();
    benchmark::DoNotOptimize(Nfact.data());
    couper();
  }
  etat.counters["premiers"] = static_cast<double>(np);
}
BENCHMARK(DecompPremier)
    ->Arg(999999999989)      // largest prime below 10^12
    ->Arg(9007199254740881)  // largest prime below 2^53
    ->Unit(benchmark::kMicrosecond);

// The whole of calcul (factors, divisors, order, sum, line) for one N.
void CalculCompose(benchmark::State& etat) {
  const int64_t n = etat.range(0);
  depart();
  parite = 0;
  for (auto _ : etat) {
    N = S = n;
    calcul();
    sortie.clear();
  }
  etat.counters["diviseurs"] = static_cast<double>(ND1);
}
BENCHMARK(CalculCompose)
    ->Arg(720720)              // 240 divisors
    ->Arg(735134400)           // 1344 divisors
    ->Arg(963761198400)        // 6720 divisors
    ->Arg(897612484786617600)  // 103680 divisors
    ->Unit(benchmark::kMicrosecond);

// calcul over a run of consecutive N, as the listing does.
void CalculPlage(benchmark::State& etat) {
  const int64_t debut = etat.range(0);
  depart();
  parite = 1;
  for (auto _ : etat) {
    for (N = debut; N < debut + 10000; ++N) {
      S = N;
      calcul();
    }
    sortie.clear();
  }
  etat.SetItemsProcessed(etat.iterations() * 10000);
}
BENCHMARK(CalculPlage)->Arg(1)->Arg(9990000)->Arg(1000000000000);

// The divisors alone, made in increasing order and summed, for 10^5
// consecutive N factorised beforehand; argument 1 for the AVX-512 merges,
// 0 for the portable ones.
void DiviseursPlage(benchmark::State& etat) {
  const int64_t debut = etat.range(0);
  const bool avant = avx512_actif;
  avx512_actif = avx512_actif && etat.range(1) == 1;
  depart();
  std::vector<Table> facteurs, exposants;
  std::vector<int64_t> nombres;
  for (N = debut; N < debut + 100000; ++N) {
    S = N;
    decomp();
    ND1 = 1;
    for (int32_t m = 1; m <= nf; ++m) ND1 *= Nexpo[m] + 1;
    facteurs.push_back(Nfact), exposants.push_back(Nexpo),
        nombres.push_back(ND1);
    couper();
  }
  Div.resize(1000);
  int64_t total = 0;
  for (auto _ : etat) {
    for (size_t m = 0; m < nombres.size(); ++m) {
      Nfact.swap(facteurs[m]), Nexpo.swap(exposants[m]);
      nf = static_cast<int32_t>(Nfact.size() - 1);
      ND1 = nombres[m];
      N = debut + static_cast<int64_t>(m);
      benchmark::DoNotOptimize(diviseurs_croissants(Div.data() + 1));
      Nfact.swap(facteurs[m]), Nexpo.swap(exposants[m]);
      total += ND1;
    }
  }
  avx512_actif = avant;
  etat.counters["ns_par_diviseur"] = benchmark::Counter(
      static_cast<double>(total),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(DiviseursPlage)
    ->Args({1, 1})
    ->Args({1, 0})
    ->Args({9900000, 1})
    ->Args({9900000, 0});

// The decimal writer on numbers of every length.
void Decimal(benchmark::State& etat) {
  char t[64];
  uint64_t v = 1;
  for (auto _ : etat) {
    benchmark::DoNotOptimize(decimal::former(t, v));
    v = v * 3 + 7;
  }
}
BENCHMARK(Decimal);

// A whole result line written to the output buffer by the listing's own
// writer.
void Ligne(benchmark::State& etat) {
  depart();
  N = S = 720720;
  diviseurs();
  for (auto _ : etat) {
    ++nN;
    ecrire_ligne();
    if (sortie.size() > (1 << 20)) sortie.clear();
  }
}
BENCHMARK(Ligne);

}  // namespace

BENCHMARK_MAIN();
