// Definitions of the program-wide variables, and their starting condition.

#include "state/state.h"

#include <cstring>

char message[200];
int64_t valeur0;
int32_t valeur2;
int32_t xn;
int64_t nouveau;

int64_t N;
int64_t Nmax;
int32_t parite;
int64_t nN;
int64_t S;

Table Nprem(3, 0);
int64_t np;
int64_t i;
int64_t j;

Table Nfact(1, 0);
Table Nexpo(1, 0);
int32_t nf;
int64_t k;
int32_t expo;
int32_t f;
int64_t reste;
int64_t rS;

Table Prod(1, 0);
Table Div(1, 0);
int64_t ND1;
u128 Smax;
int64_t Diviseur;
int64_t SN;

char entree[200];
std::string saisie;
int32_t l;
int32_t l1;
int32_t a;
int32_t a1;
int32_t refaire;
int64_t valtest2;

void etat_initial() {
  std::memset(message, 0, sizeof message);
  std::memset(entree, 0, sizeof entree);
  valeur0 = valeur2 = xn = 0;
  nouveau = N = Nmax = nN = S = 0;
  parite = 0;
  np = i = j = k = reste = rS = 0;
  nf = expo = f = 0;
  ND1 = Diviseur = SN = 0;
  Smax = 0;
  l = l1 = a = a1 = refaire = 0;
  valtest2 = 0;
  saisie.clear();
  Nprem.assign(3, 0);
  for (Table* t : {&Nfact, &Nexpo, &Prod, &Div}) t->assign(1, 0);
}
