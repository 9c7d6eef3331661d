// The range and parity dialogue and the walk over N, which writes out its
// output every 100 ms and stops early at Ctrl-C.

#include "driver/calcul2.h"

#include "diviseurs/calcul.h"
#include "driver/evenements.h"
#include "input/controle.h"
#include "plage/seuils.h"
#include "plage/tranches.h"
#include "sortie/sortie.h"
#include "state/state.h"
#include "terminal/horloge.h"

namespace {

// Asks one bound of the range; the answer 0 is refused.
int64_t demander_borne(const char* question) {
  copier_message(question);
  xn = 1;
  controle(kEntier, message);
  xn = 0;
  return valeur0;
}

void ecrire_entete() {
  if (parite == 2)
    ecrire(
        " \n \n \t Les valeurs de N qui ont des sommes des diviseurs paires "
        "sont :   \n ");
  else if (parite == 1)
    ecrire(
        " \n \n \t Les valeurs de N qui ont des sommes des diviseurs impaires, "
        "sont :  \n ");
  else
    ecrire(
        " \n \n \t Liste des valeurs de N suivies des nombres de leurs "
        "diviseurs et des sommes de ceux-ci :  \n ");
}

}  // namespace

void calcul2() {
  nN = 0;
  N = demander_borne("\n \n \n  \t Valeur de N minimale ? ");
  Nmax = 0;
  // Asked at least once, and again while the maximum is below the minimum.
  while (Nmax < N) Nmax = demander_borne("\n \n \t Valeur de N maximale ? ");
  N = N - 1;

  copier_message(
      " \n \n \n \t  Parite de la somme des diviseurs de N,  Paire [2] / "
      "Impaire [1] /  Quelconque [0] ? :  ");
  controle(kTroisChoix, message);
  parite = valeur2;
  ecrire_entete();

  // N < Nmax before each increment, so N never passes 2^63 - 1. A tick or
  // Ctrl-C is looked at once per N, through a single flag.
  debut_liste(N + 1, Nmax);
  if (Nmax - N > seuil_des_tranches(Nmax)) {
    lister_par_tranches(continuer_la_liste);
  } else {
    while (N < Nmax) {
      ++N;
      S = N;
      calcul();
      if (evenement != 0 && !faire_le_point()) break;
    }
  }
  fin_liste();
}
