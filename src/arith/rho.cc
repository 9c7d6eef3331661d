// Brent's cycle search on x -> x^2 + c modulo n, in Montgomery form. The
// differences are multiplied together and their gcd with n taken once per
// batch; a batch whose gcd is n is walked again one step at a time.

#include "arith/rho.h"

#include <algorithm>
#include <numeric>

#include "arith/montgomery.h"

namespace {

constexpr uint64_t kLot = 128;  // differences multiplied between two gcds

uint64_t ecart(uint64_t x, uint64_t y) { return x > y ? x - y : y - x; }

// v^2 + c in the form; written so that nothing passes 2^64 even for n near
// it.
inline uint64_t carre_plus(const Modulo& m, uint64_t v, uint64_t c) {
  v = mult(m, v, v);
  return v >= m.n - c ? v - (m.n - c) : v + c;
}

// One cycle search with the constant c (in the form). Returns a divisor of n
// above 1: n itself when this c found no proper one.
// The loop ends: modulo a prime p dividing n the sequence is eventually
// periodic, so once r passes its tail and period y meets x again modulo p
// and the gcd is at least p.
uint64_t chercher(const Modulo& m, uint64_t c) {
  auto suivant = [&](uint64_t v) { return carre_plus(m, v, c); };
  uint64_t y = en_forme(m, 2);
  uint64_t x = y, sauve = y, q = m.un, g = 1;
  for (uint64_t r = 1; g == 1; r *= 2) {
    x = y;
    for (uint64_t t = 0; t < r; ++t) y = suivant(y);
    for (uint64_t fait = 0; fait < r && g == 1; fait += kLot) {
      sauve = y;
      const uint64_t lot = std::min(kLot, r - fait);
      for (uint64_t t = 0; t < lot; ++t) {
        y = suivant(y);
        q = mult(m, q, ecart(x, y));
      }
      g = std::gcd(q, m.n);
    }
  }
  if (g != m.n) return g;
  // The batch overshot: some step in it has a gcd above 1, find the first.
  do {
    sauve = suivant(sauve);
    g = std::gcd(ecart(x, sauve), m.n);
  } while (g == 1);
  return g;
}

// Two cycle searches, with the constants c and d, side by side: each step
// waits on the product before it, so two independent sequences take about
// the time of one, and the first of the two to meet a factor ends both. Their
// products of differences share one gcd per batch. Returns a divisor of n
// above 1: n when a batch overshot, which chercher then redoes alone.
uint64_t chercher2(const Modulo& m, uint64_t c, uint64_t d) {
  auto suivant = [&](uint64_t v, uint64_t constante) {
    return carre_plus(m, v, constante);
  };
  uint64_t y = en_forme(m, 2), z = y, g = 1;
  uint64_t q = m.un;
  uint64_t u = q;
  for (uint64_t r = 1; g == 1; r *= 2) {
    const uint64_t x = y, w = z;
    for (uint64_t t = 0; t < r; ++t) {
      y = suivant(y, c);
      z = suivant(z, d);
    }
    for (uint64_t fait = 0; fait < r && g == 1; fait += kLot) {
      const uint64_t lot = std::min(kLot, r - fait);
      for (uint64_t t = 0; t < lot; ++t) {
        y = suivant(y, c);
        z = suivant(z, d);
        q = mult(m, q, ecart(x, y));
        u = mult(m, u, ecart(w, z));
      }
      g = std::gcd(mult(m, q, u), m.n);
    }
  }
  return g;
}

}  // namespace

uint64_t rho(uint64_t n) {
  const Modulo m = modulo_de(n);
  for (uint64_t c = 1;; c += 2) {
    uint64_t g = chercher2(m, en_forme(m, c), en_forme(m, c + 1));
    if (g != n) return g;
    for (uint64_t constante : {c, c + 1}) {
      g = chercher(m, en_forme(m, constante));
      if (g != n) return g;
    }
  }
}

namespace {

constexpr int kVoies = 4;

// One search of rho_par_lots, as chercher does it: at each checkpoint x
// takes y's value; y then runs fenetre steps of x -> x^2 + 1 (from 2) and
// fenetre more in which q gathers its differences with x, fenetre doubling
// at the next checkpoint.
struct Voie {
  Modulo m;
  uint64_t x, y, q;
  uint64_t fenetre, faits;  // faits: steps since the checkpoint
  size_t indice;            // which number; total for a lane with none
};

void charger(Voie& v, const uint64_t* nombres, size_t indice, size_t total) {
  // A lane with no number left runs on 3, with nothing read of it.
  v.indice = indice;
  v.m = modulo_de(indice < total ? nombres[indice] : 3);
  v.y = v.x = en_forme(v.m, 2);
  v.q = v.m.un;
  v.fenetre = kLot;
  v.faits = 0;
}

}  // namespace

// The lanes step together, kLot steps between two looks at them: a lane
// whose gcd passes 1 gives its number's divisor (the single search when
// the batch overshot to n itself) and takes the next number.
void rho_par_lots(const uint64_t* nombres, size_t total, uint64_t* diviseurs) {
  Voie voies[kVoies];
  size_t prochain = 0;
  for (Voie& v : voies) charger(v, nombres, prochain++, total);
  for (size_t restants = total; restants > 0;) {
    for (uint64_t t = 0; t < kLot; ++t)
      for (Voie& v : voies) {
        v.y = carre_plus(v.m, v.y, v.m.un);  // the constant 1, in the form
        // The same way for a lane through a whole batch: well predicted.
        if (v.faits >= v.fenetre) v.q = mult(v.m, v.q, ecart(v.x, v.y));
      }
    for (Voie& v : voies) {
      if (v.indice >= total) continue;
      const bool compare = v.faits >= v.fenetre;
      v.faits += kLot;
      const uint64_t g = compare ? std::gcd(v.q, v.m.n) : 1;
      if (g == 1) {
        if (v.faits == 2 * v.fenetre) {
          v.x = v.y;
          v.fenetre *= 2;
          v.faits = 0;
        }
        continue;
      }
      diviseurs[v.indice] = g != v.m.n ? g : rho(v.m.n);
      --restants;
      charger(v, nombres, prochain++, total);
    }
  }
}
