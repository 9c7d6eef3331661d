// The pattern of the small primes, the marking by the sieving primes two
// multiples at a time, and the reading of the unmarked bytes, sixty-four at
// a time.

#include "premiers/marques.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "commun/vectoriel.h"

namespace {

// The odd numbers 2x + 1 repeat their divisibility by 3, 5, 7, 11 and 13
// with period 15015 in x. motif[x] is 1 when 2x + 1 has one of those
// factors; it runs one segment past the period, so that any segment is a
// single copy from motif + (its first x mod the period). Built by the
// compiler: a constant, which any thread may read.
constexpr int64_t kPeriode = int64_t{3} * 5 * 7 * 11 * 13;
constexpr int64_t kLongueurMotif = kPeriode + kMarquesMax;
constexpr std::array<unsigned char, kLongueurMotif> construire_motif() {
  std::array<unsigned char, kLongueurMotif> m{};
  for (int64_t x = 0; x < kLongueurMotif; ++x) {
    const int64_t impair = 2 * x + 1;
    m[static_cast<size_t>(x)] = impair % 3 == 0 || impair % 5 == 0 ||
                                impair % 7 == 0 || impair % 11 == 0 ||
                                impair % 13 == 0;
  }
  return m;
}
constexpr auto motif = construire_motif();

}  // namespace

// The pattern marks 5, 7, 11 and 13 themselves: those are put back.
void copier_motif(unsigned char* compose, int64_t lo, int64_t n) {
  std::memcpy(compose, motif.data() + lo / 2 % kPeriode,
              static_cast<size_t>(n));
  for (int64_t q : {5, 7, 11, 13})
    if (q > lo && q < lo + 2 * n) compose[(q - lo - 1) / 2] = 0;
}

// Of the multiples m q, the even m fall outside the odd numbers and the
// multiples of 3 are marked by the pattern: only m = 1 or 5 modulo 6 are
// left, whose indices advance by 2q and q in turn.
void prendre_cribleurs(std::vector<int64_t>& prochain, const int64_t* t,
                       int64_t n_premiers, int64_t lo, int64_t hi) {
  for (auto c = static_cast<int64_t>(prochain.size()) / 2 + kPremierCrible;
       c <= n_premiers; ++c) {
    const int64_t q = t[c];
    if (q > hi / q) break;
    int64_t m = std::max(q, (lo + 1 + q - 1) / q);  // first m q >= lo + 1
    while (m % 6 != 1 && m % 6 != 5) ++m;
    const int64_t m2 = m + (m % 6 == 1 ? 4 : 2);
    prochain.push_back((m * q - 1) / 2);
    prochain.push_back((m2 * q - 1) / 2);
  }
}

// Two marks 3q apart per step.
void marquer(unsigned char* compose, std::vector<int64_t>& prochain,
             const int64_t* t, int64_t base, int64_t n) {
  for (size_t c = 0; c < prochain.size(); c += 2) {
    const int64_t q = t[c / 2 + kPremierCrible], pas = 3 * q;
    int64_t x = prochain[c] - base, y = prochain[c + 1] - base;  // x < y
    for (; y < n; x += pas, y += pas) compose[x] = compose[y] = 1;
    if (x < n) {
      compose[x] = 1;
      x += pas;
      std::swap(x, y);
    }
    prochain[c] = base + x;
    prochain[c + 1] = base + y;
  }
}

uint64_t premiers_de_64(const unsigned char* marque) {
  uint64_t x = 0;
#if KELVARO_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (int d = 0; d < 64; d += 16) {
    const __m128i v =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(marque + d));
    const auto m =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
    x |= uint64_t{m} << d;
  }
#else
  // Eight marks per word: ~w & 0x01... keeps a 1 in each byte that was 0,
  // and the multiplication gathers the low bits of bytes 0 to 7 into bits
  // 56 to 63 without carries (each lands alone on its own bit).
  for (int d = 0; d < 64; d += 8) {
    uint64_t w;
    std::memcpy(&w, marque + d, 8);
    if constexpr (std::endian::native == std::endian::big)
      w = __builtin_bswap64(w);  // byte 0 of the marks in the low byte
    const uint64_t uns = ~w & 0x0101010101010101ull;
    x |= ((uns * 0x0102040810204080ull) >> 56) << d;
  }
#endif
  return x;
}
