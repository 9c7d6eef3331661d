// Plain decimal digits of unsigned integers, written two at a time from a
// table of the hundred pairs "00" to "99", straight into the caller's buffer;
// and counters whose text is incremented in place.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace decimal {

inline constexpr char kPaires[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536"
    "37383940414243444546474849505152535455565758596061626364656667686970717273"
    "7475767778798081828384858687888990919293949596979899";

inline constexpr uint64_t kPuissances[20] = {1ull,
                                             10ull,
                                             100ull,
                                             1000ull,
                                             10000ull,
                                             100000ull,
                                             1000000ull,
                                             10000000ull,
                                             100000000ull,
                                             1000000000ull,
                                             10000000000ull,
                                             100000000000ull,
                                             1000000000000ull,
                                             10000000000000ull,
                                             100000000000000ull,
                                             1000000000000000ull,
                                             10000000000000000ull,
                                             100000000000000000ull,
                                             1000000000000000000ull,
                                             10000000000000000000ull};

// Number of decimal digits of v (1 for 0). 1233 / 4096 is just above
// log10(2), so t is the digit count of v or one less. v | 1 differs from v
// only for even v, and 10^t - 1 is odd: only 0 moves past a power of ten.
inline int chiffres(uint64_t v) {
  const uint64_t w = v | 1;
  const int t = ((64 - std::countl_zero(w)) * 1233) >> 12;
  return t + (w >= kPuissances[t] ? 1 : 0);
}

// Writes exactly n digits of v (the n lowest, leading zeros kept) ending at
// fin, pairs first.
inline void remplir(char* fin, uint64_t v, int n) {
  for (; n >= 2; n -= 2) {
    fin -= 2;
    std::memcpy(fin, kPaires + 2 * (v % 100), 2);
    v /= 100;
  }
  if (n == 1) fin[-1] = static_cast<char>('0' + v % 10);
}

// The eight bytes at p as a word whose low byte is p[0], and back: the
// counters below work on text in that order whatever the byte order.
inline uint64_t charger8(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big)
    w = __builtin_bswap64(w);
  return w;
}
inline void ranger8(char* p, uint64_t w) {
  if constexpr (std::endian::native == std::endian::big)
    w = __builtin_bswap64(w);
  std::memcpy(p, &w, 8);
}

// Writes v at out and returns the end of its digits (at most 20 bytes).
inline char* former(char* out, uint64_t v) {
  const int n = chiffres(v);
  remplir(out + n, v, n);
  return out + n;
}

// The same for a 128-bit value (at most 39 bytes): above 2^64 the 19 low
// digits are written separately, with their leading zeros.
inline char* former(char* out, unsigned __int128 v) {
  if ((v >> 64) == 0) return former(out, static_cast<uint64_t>(v));
  const uint64_t bas = static_cast<uint64_t>(v % kPuissances[19]);
  out = former(out, v / kPuissances[19]);
  remplir(out + 19, bas, 19);
  return out + 19;
}

// The decimal text of a counter, kept from one write to the next: when the
// value to write is the last one plus 1, its text is incremented in place
// rather than converted again. The 20 digits, zeros in front, are held as
// 12 high digits in memory and the 8 low ones in a 64-bit word, in text
// order: the increment and the copy out work on the whole word in a
// register, never reading back bytes just stored (which would stall).
struct Compteur {
  uint64_t valeur = 0;
  int n = 0;         // digits in use; 0 while no text is kept
  char haut[24]{};   // digits 1 to 12, then room for a 12-byte copy
  uint64_t bas = 0;  // digits 13 to 20, the first one in the low byte

  // Writes v at out and returns the end of its digits; needs 20 bytes free.
  char* former(char* out, uint64_t v) {
    // Not the next value (0 after UINT64_MAX is none): written as it comes.
    if (v != valeur + 1 || v == 0) {
      valeur = v;
      n = 0;
      return decimal::former(out, v);
    }
    if (n == 0 || !incrementer()) convertir(v);
    valeur = v;
    if (n > 8) {
      std::memcpy(out, haut + 20 - n, 12);
      ranger8(out + n - 8, bas);
    } else {
      ranger8(out, bas >> (8 * (8 - n)));  // the n last digits first
    }
    return out + n;
  }

 private:
  void convertir(uint64_t v) {
    char t[20];
    std::memset(t, '0', 20);
    n = chiffres(v);
    remplir(t + 20, v, n);
    std::memcpy(haut, t, 12);
    bas = charger8(t + 12);
  }

  // Adds 1 to the text, false when the carry would leave the low word. With
  // the digits reversed, the trailing '9' are the low bytes equal to '9'.
  bool incrementer() {
    uint64_t w = __builtin_bswap64(bas);
    const uint64_t neufs = w ^ 0x3939393939393939ull;
    if (neufs == 0) return false;
    const int neufs_bas = std::countr_zero(neufs) / 8;
    const uint64_t masque = (uint64_t{1} << (8 * neufs_bas)) - 1;
    w = ((w & ~masque) | (0x3030303030303030ull & masque)) +
        (uint64_t{1} << (8 * neufs_bas));
    bas = __builtin_bswap64(w);
    if (neufs_bas >= n) n = neufs_bas + 1;  // 9...9 + 1: one digit more
    return true;
  }
};

}  // namespace decimal
