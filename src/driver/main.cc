// Entry point of kelvaro: standard input read through its own stream buffer,
// one session, and the normal end with status 1.

#include <iostream>

#include "driver/seance.h"
#include "input/entree_standard.h"
#include "sortie/sortie.h"

int main() {
  static EntreeStandard entree_standard;
  std::cin.rdbuf(&entree_standard);
  seance();
  terminer(1);
}
