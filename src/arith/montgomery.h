// Arithmetic modulo an odd 64-bit n in Montgomery form: a stands for
// a * 2^64 mod n, so a product needs two multiplications and no division.
#pragma once

#include <cstdint>

#include "arith/divisibilite.h"
#include "state/types.h"

// An odd modulus n > 1 with what its Montgomery products need.
struct Modulo {
  uint64_t n;
  uint64_t inverse;  // n * inverse = 1 modulo 2^64
  uint64_t r2;       // 2^128 mod n, to bring a number into the form
  uint64_t un;       // 1 in the form: 2^64 mod n
};

// Reads n (odd, > 1); returns its constants.
inline Modulo modulo_de(uint64_t n) {
  Modulo m{};
  m.n = n;
  m.inverse = inverse(n);
  m.un = (0 - n) % n;  // 2^64 - n, which is 2^64 modulo n
  m.r2 = static_cast<uint64_t>(static_cast<u128>(m.un) * m.un % n);
  return m;
}

// t * 2^-64 mod n, for t < n * 2^64; the result is in [0, n).
// q = t * inverse makes t - q * n a multiple of 2^64, so only high halves
// remain and their difference lies in (-n, n).
inline uint64_t reduire(const Modulo& m, u128 t) {
  const uint64_t q = static_cast<uint64_t>(t) * m.inverse;
  const auto haut = static_cast<uint64_t>(t >> 64);
  const auto qn = static_cast<uint64_t>(static_cast<u128>(q) * m.n >> 64);
  return haut >= qn ? haut - qn : haut - qn + m.n;
}

// Product of two numbers in the form, both in [0, n).
inline uint64_t mult(const Modulo& m, uint64_t x, uint64_t y) {
  return reduire(m, static_cast<u128>(x) * y);
}

// x (any 64-bit value) brought into the form.
inline uint64_t en_forme(const Modulo& m, uint64_t x) {
  return mult(m, x % m.n, m.r2);
}
