// One calculation: the questions that fix the range and the parity, the
// header of the listing, and the walk over every N of the range.
#pragma once

// Asks for the minimum and maximum values of N and the parity, prints the
// header for that parity, then hands each N from the minimum to the maximum
// to calcul; Ctrl-C at a terminal stops the walk after the current N.
// Writes nN, N, Nmax, parite, S, xn and message.
void calcul2();

// Copies a prompt into message.
void copier_message(const char* texte);
