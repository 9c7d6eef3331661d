// The switch between the AVX-512 paths and the portable ones.

#include "arith/vectoriel.h"

bool avx512_actif = avx512_present();
