// Checks of the rules the threads' hand-over rests on, made in the sanitizer
// builds (KELVARO_VERIFICATIONS) and compiled out elsewhere: a rule broken
// ends the process at once, the rule's text on standard error.
#pragma once

#ifdef KELVARO_VERIFICATIONS
#include <cstdio>
#include <cstdlib>
#define VERIFIER(regle)                                                 \
  ((regle) ? (void)0                                                    \
           : (std::fprintf(stderr, "kelvaro: %s:%d: rule broken: %s\n", \
                           __FILE__, __LINE__, #regle),                 \
              std::abort()))
#else
#define VERIFIER(regle) ((void)0)
#endif
