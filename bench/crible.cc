// Range sieve used to check and to time kelvaro: the sum and the number of
// the divisors of every N of a range by a segmented sieve, printed with the
// same dialogue and the same bytes as kelvaro, through a fast decimal writer.
// Handles the answers of a well-formed dialogue only, with a maximum below
// 2^60 (the sums then stay below 2^63). It shares no code with kelvaro, its
// texts included, so that a fault in kelvaro cannot hide in both outputs.

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// --- Output -----------------------------------------------------------------

char tampon[1 << 20];
size_t rempli = 0;

void vider() {
  size_t fait = 0;
  while (fait < rempli) {
    const ssize_t n = ::write(1, tampon + fait, rempli - fait);
    if (n <= 0) _exit(3);
    fait += static_cast<size_t>(n);
  }
  rempli = 0;
}

void texte(const char* t) {
  const size_t n = std::strlen(t);
  if (rempli + n > sizeof tampon) vider();
  std::copy_n(t, n, tampon + rempli);
  rempli += n;
}

constexpr char kPaires[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536"
    "37383940414243444546474849505152535455565758596061626364656667686970717273"
    "7475767778798081828384858687888990919293949596979899";

// Decimal digits of v ending at fin, two at a time; returns where they start.
char* chiffres(char* fin, uint64_t v) {
  while (v >= 100) {
    fin -= 2;
    std::memcpy(fin, kPaires + 2 * (v % 100), 2);
    v /= 100;
  }
  if (v >= 10) {
    fin -= 2;
    std::memcpy(fin, kPaires + 2 * v, 2);
  } else {
    *--fin = static_cast<char>('0' + v);
  }
  return fin;
}

void nombre(uint64_t v) {
  char t[24];
  char* d = chiffres(t + sizeof t, v);
  const auto n = static_cast<size_t>(t + sizeof t - d);
  std::memcpy(tampon + rempli, d, n);
  rempli += n;
}

void ligne(uint64_t rang, uint64_t n, uint64_t nd, uint64_t somme) {
  if (rempli + 256 > sizeof tampon) vider();
  texte("\n \n \t ");
  nombre(rang);
  texte(" \t -  :  \t ");
  nombre(n);
  texte("  a  ");
  nombre(nd);
  texte("  diviseurs  de somme  : ");
  nombre(somme);
  texte(" . ");
}

// --- Input ------------------------------------------------------------------

uint64_t lire() {
  vider();
  char mot[64];
  if (std::scanf("%63s", mot) != 1) _exit(2);
  return std::stoull(mot[0] == '+' ? mot + 1 : mot);
}

// --- Sieve ------------------------------------------------------------------

std::vector<uint64_t> premiers_impairs;  // odd primes up to the root of max

void premiers_jusqua(uint64_t r) {
  std::vector<bool> compose(r / 2 + 1, false);  // compose[t]: 2t + 1
  for (uint64_t t = 1; t <= r / 2; ++t) {
    if (compose[t]) continue;
    const uint64_t p = 2 * t + 1;
    premiers_impairs.push_back(p);
    for (uint64_t m = p * p; m <= r; m += 2 * p) compose[m / 2] = true;
  }
}

constexpr uint64_t kSegment = 1 << 15;
uint64_t reste[kSegment], somme[kSegment], nombre_div[kSegment];

// sigma and d for [lo, lo + n): every prime up to the root divides out its
// multiples (exact quotients by multiplying with the inverse modulo 2^64);
// what is left above 1 is one last prime.
void segment(uint64_t lo, uint64_t n) {
  for (uint64_t t = 0; t < n; ++t) {
    const uint64_t v = lo + t;
    const int e = std::countr_zero(v);
    reste[t] = v >> e;
    somme[t] = (uint64_t{2} << e) - 1;
    nombre_div[t] = static_cast<uint64_t>(e) + 1;
  }
  const uint64_t hi = lo + n - 1;
  for (uint64_t p : premiers_impairs) {
    if (p > hi / p) break;
    uint64_t inv = p;
    for (int k = 0; k < 5; ++k) inv *= 2 - p * inv;
    const uint64_t borne = UINT64_MAX / p;  // q <= borne: p divided exactly
    for (uint64_t t = (p - lo % p) % p; t < n; t += p) {
      uint64_t r = reste[t] * inv, pk = p, s = 1 + p, e = 1;
      for (uint64_t q = r * inv; q <= borne; q = r * inv) {
        r = q;
        pk *= p;
        s += pk;
        ++e;
      }
      reste[t] = r;
      somme[t] *= s;
      nombre_div[t] *= e + 1;
    }
  }
  for (uint64_t t = 0; t < n; ++t)
    if (reste[t] > 1) {
      somme[t] *= reste[t] + 1;
      nombre_div[t] *= 2;
    }
}

void calcul(uint64_t min, uint64_t max, int parite) {
  premiers_impairs.clear();
  premiers_jusqua(static_cast<uint64_t>(std::sqrt(static_cast<double>(max))) +
                  1);
  uint64_t rang = 0;
  for (uint64_t lo = min; lo <= max;) {
    const uint64_t n = max - lo + 1 < kSegment ? max - lo + 1 : kSegment;
    segment(lo, n);
    for (uint64_t t = 0; t < n; ++t) {
      const bool impaire = (somme[t] & 1) != 0;
      if (parite == 0 || (parite == 1) == impaire)
        ligne(++rang, lo + t, nombre_div[t], somme[t]);
    }
    lo += n;
  }
}

const char* const kBanniere[] = {
    " \n   POUR MODIFIER LA TAILLE DU TEXTE ET DE LA FENETRE : [TOUCHE CTRL] + "
    "[MOLETTE DE LA SOURIS]. ",
    " \n \n \t  *****     KELVARO     (Tri selon la parite des sommes)     "
    "***** ",
    " \n \n \n \t  Etant donne un entier N. ",
    " \n \t  Le programme initial permet de trouver toutes les sommes de ses "
    "diviseurs (excepte N) egales a N ou a un autre nombre entier choisi. ",
    " \n \n \t  N etant compris entre 2 valeurs que l'on fixe au depart. ",
    " \n \n \t  Une parite etant choisie pour la somme des diviseurs de N. ",
    " \n \n \t  Cette extension affiche par ordre croissant les valeurs de N "
    "dont les sommes des diviseurs ont la parite choisie.  ",
    " \n \t  Chaque valeur de N est suivie du nombre de ses diviseurs ainsi "
    "que dela somme de ceux-ci.  ",
    " \n \n \t  Kelvaro pour Linux, ecrit en C++ : resultats exacts pour tout "
    "N de 1 a 9223372036854775807. ",
};

const char* const kEntete[] = {
    " \n \n \t Liste des valeurs de N suivies des nombres de leurs diviseurs "
    "et des sommes de ceux-ci :  \n ",
    " \n \n \t Les valeurs de N qui ont des sommes des diviseurs impaires, "
    "sont :  \n ",
    " \n \n \t Les valeurs de N qui ont des sommes des diviseurs paires sont :"
    "   \n "};

}  // namespace

int main() {
  for (const char* t : kBanniere) texte(t);
  for (;;) {
    texte("\n \n \n  \t Valeur de N minimale ? ");
    const uint64_t min = lire();
    texte("\n \n \t Valeur de N maximale ? ");
    const uint64_t max = lire();
    texte(
        " \n \n \n \t  Parite de la somme des diviseurs de N,  Paire [2] / "
        "Impaire [1] /  Quelconque [0] ? :  ");
    const auto parite = static_cast<int>(lire());
    texte(kEntete[parite]);
    calcul(min, max, parite);
    texte(" \n \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ");
    if (lire() != 1) break;
  }
  vider();
  return 1;
}
