// The two switches the tests turn, so that one run of the suite goes down
// each road the program may take: the AVX-512 paths or the portable ones,
// and a listing walked N after N or by slices of its range. The program
// itself only reads them.
#pragma once

#include <cstdint>

// Whether the AVX-512 paths run: where the build has them and the processor
// has AVX-512 F and DQ (see vectoriel.h). The tests clear it to run the
// portable paths on the same cases.
extern bool avx512_actif;

// Below this many N (kSeuilPlage: a few milliseconds of work) a listing
// walks N after N, calcul once per N; from it on, by slices of the range
// (plage/seuils.h scales it with the range's end). The tests move
// seuil_plage to run either way.
constexpr int64_t kSeuilPlage = 4096;
extern int64_t seuil_plage;
