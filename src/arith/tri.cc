// The odometer turns the last prime's exponent fastest, so its order is made
// of blocks: with the exponents of primes 1 to m - 1 fixed, the block holds
// Nexpo[m] + 1 runs, the divisors with the exponent of prime m at 0, 1, ...,
// each run the same list of tail divisors times a power of prime m. Sorting
// each block bottom-up, from the last prime to the first, by merging its runs
// costs far less than inserting each divisor or sorting from scratch.

#include "arith/tri.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "state/state.h"

namespace {

// Up to this many divisors, plain insertion costs less than the merging
// passes (instruction and misprediction counts over the listing of 1 to 3e5).
constexpr int64_t kInsertion = 16;

// Scratch space for the merges; it only grows, so once it has reached the
// largest ND1 met, no N allocates.
std::vector<int64_t> tampon;

// Merges the increasing runs [a, fa) and [b, fb) into out. The choice of the
// next element is arithmetic, not a branch: the processor cannot guess it.
void fusion(const int64_t* a, const int64_t* fa, const int64_t* b,
            const int64_t* fb, int64_t* out) {
  while (a < fa && b < fb) {
    const int64_t x = *a;
    const int64_t y = *b;
    const bool prendre_b = y < x;
    *out++ = prendre_b ? y : x;
    a += static_cast<int>(!prendre_b);
    b += static_cast<int>(prendre_b);
  }
  // The runs are short: plain loops beat a call to memmove here.
  while (a < fa) *out++ = *a++;
  while (b < fb) *out++ = *b++;
}

// One merging pass over t: within each block of `bloc` elements (they tile
// t exactly), merges the increasing runs of `largeur` elements two by two.
void passe(const int64_t* src, int64_t* dst, int64_t n, int64_t bloc,
           int64_t largeur) {
  for (int64_t b = 0; b < n; b += bloc) {
    const int64_t fin_bloc = b + bloc;
    for (int64_t o = b; o < fin_bloc; o += 2 * largeur) {
      const int64_t milieu = std::min(o + largeur, fin_bloc);
      const int64_t fin = std::min(o + 2 * largeur, fin_bloc);
      fusion(src + o, src + milieu, src + milieu, src + fin, dst + o);
    }
  }
}

}  // namespace

void ordonner(int64_t* t, int64_t n) {
  if (nf < 2) return;  // 1, p, p^2, ... are already increasing
  if (n <= kInsertion) {
    for (int64_t m = 1; m < n; ++m) {
      const int64_t d = t[m];
      int64_t q = m - 1;
      while (q >= 0 && t[q] > d) {
        t[q + 1] = t[q];
        --q;
      }
      t[q + 1] = d;
    }
    return;
  }
  if (tampon.size() < static_cast<size_t>(n))
    tampon.resize(static_cast<size_t>(n));
  int64_t* src = t;
  int64_t* dst = tampon.data();
  // The runs of the last prime, prefix * q^e for e = 0, 1, ..., increase.
  int64_t run = Nexpo[static_cast<size_t>(nf)] + 1;
  for (int32_t m = nf - 1; m >= 1; --m) {
    const int64_t bloc = run * (Nexpo[static_cast<size_t>(m)] + 1);
    for (int64_t largeur = run; largeur < bloc; largeur *= 2) {
      passe(src, dst, n, bloc, largeur);
      std::swap(src, dst);
    }
    run = bloc;  // every block of this size is now increasing
  }
  if (src != t) std::copy(src, src + n, t);
}
