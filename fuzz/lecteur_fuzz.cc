// libFuzzer target: the input reader in each of its modes.

#include <cstdio>
#include <cstdlib>

#include "harnais.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille) {
  if (const char* faute = verifier_lecteur(octets, taille)) {
    std::fprintf(stderr, "reader: %s\n", faute);
    std::abort();
  }
  return 0;
}
