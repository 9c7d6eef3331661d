// A whole session of the program, from the banner to the answer 0 to the
// question whether to start a new calculation.
#pragma once

// Seeds the prime table (Nprem[1..2] = 2, 3 and np = 2), prints the banner,
// then runs calcul2 and asks whether to start again until the answer is 0.
// Writes nouveau and message, and everything calcul2 writes. Returns with
// the output still buffered; the end of input ends the process inside.
void seance();
