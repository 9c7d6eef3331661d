// libFuzzer target: a whole session driven by arbitrary bytes.

#include <cstdio>
#include <cstdlib>

#include "harnais.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* octets, size_t taille) {
  bool rejete = false;
  if (const char* faute = verifier_seance(octets, taille, rejete)) {
    std::fprintf(stderr, "session: %s\n", faute);
    std::abort();
  }
  return rejete ? -1 : 0;  // -1 keeps rejected inputs out of the corpus
}
