// The primes a range is sieved with: a table of the program's own, apart
// from Nprem, which must hold only what the walk over N would have put there.
#pragma once

#include <cstdint>

#include "state/types.h"

// The table [0, 2, 3, 5, ...] grown until its last prime is at least x.
const Table& cribleurs_jusqua(int64_t x);

// While threads read the table (`fige`), it must not grow, as growing moves
// it: the sanitizer builds check that it is not asked to.
void figer_cribleurs(bool fige);
