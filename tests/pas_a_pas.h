// The walk over N written step by step as the program's first version did
// it: the reference for the state the program leaves wherever a listing ends.
#pragma once

#include <cstdint>
#include <string>

// Suiv by trial division of the odd numbers after Nprem[np] by the table's
// primes from 2, each candidate's root taken in double precision.
void suiv_pas_a_pas();

// calcul for N = S up to 2^53: trial division of S by the table's primes in
// increasing order, the table grown by `suivant` as the index passes np (the
// root of what is left exact, where a double root may round up near 2^53);
// the divisors one odometer step at a time (suiv2) inserted in order, their
// sum, the parity test, the result line appended to `lignes`, and the tables
// cut back.
void calcul_pas_a_pas(void (*suivant)(), std::string& lignes);

// Every program-wide variable of the walk, as text; the prime table by its
// size and its last prime.
std::string etat();
