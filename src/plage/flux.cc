// Segments of 2^16 odd numbers, marked as the prime table's sieve marks
// them, read off sixty-four marks at a time into 32-bit primes.

#include "plage/flux.h"

#include <algorithm>
#include <bit>
#include <cstring>

void flux_debut(Flux& flux, const Table& cribleurs, int64_t apres,
                int64_t fin) {
  flux.cribleurs = &cribleurs;
  flux.fin = fin;
  flux.fin_crible = apres + (apres & 1);  // the odd numbers after it
  flux.prochain.clear();
  flux.taille = 0;
}

bool flux_suivant(Flux& flux) {
  const int64_t lo = flux.fin_crible;
  if (lo >= flux.fin) {
    flux.taille = 0;
    return false;
  }
  // The odd numbers of (lo, hi), hi - 1 at most fin (or fin + 1, even).
  const int64_t n = std::min(kMarquesMax, (flux.fin - lo + 1) / 2);
  const int64_t hi = lo + 2 * n;
  const Table& t = *flux.cribleurs;
  copier_motif(flux.compose, lo, n);
  prendre_cribleurs(flux.prochain, t.data(),
                    static_cast<int64_t>(t.size()) - 1, lo, hi);
  marquer(flux.compose, flux.prochain, t.data(), lo / 2, n);
  std::memset(flux.compose + n, 1, 64);
  uint32_t* sortie = flux.premiers;
  for (int64_t x = 0; x < n; x += 64)
    for (uint64_t m = premiers_de_64(flux.compose + x); m != 0; m &= m - 1)
      *sortie++ = static_cast<uint32_t>(lo + 1 + 2 * (x + std::countr_zero(m)));
  flux.taille = sortie - flux.premiers;
  flux.fin_crible = hi;
  return true;
}
