// The banner and the repeat loop of a session.

#include "driver/seance.h"

#include "driver/calcul2.h"
#include "input/controle.h"
#include "premiers/table_premiers.h"
#include "sortie/sortie.h"
#include "state/state.h"

namespace {

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

}  // namespace

void seance() {
  Nprem = kGraine;
  np = 2;
  for (const char* morceau : kBanniere) ecrire(morceau);

  nouveau = 1;
  while (nouveau == 1) {
    calcul2();
    copier_message(" \n \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ");
    controle(kOuiNon, message);
    nouveau = valeur2;
  }
}
