// Entry point of kelvaro: the command line's options, then standard input
// read through its own stream buffer, one session, and the normal end with
// status 1.

#include <iostream>

#include "driver/options.h"
#include "driver/seance.h"
#include "input/entree_standard.h"
#include "sortie/sortie.h"

int main(int argc, char** argv) {
  if (const int statut = lire_options(argc, argv); statut >= 0) return statut;
  static EntreeStandard entree_standard;
  std::cin.rdbuf(&entree_standard);
  seance();
  terminer(1);
}
