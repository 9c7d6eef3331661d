// The switches' values: the ones the program runs with.

#include "commun/commutateurs.h"

#include "commun/vectoriel.h"

bool avx512_actif = avx512_present();
int64_t seuil_plage = kSeuilPlage;
