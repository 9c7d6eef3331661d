// The work done for one N: its divisors made in increasing order and summed,
// the parity test, and the result line.
#pragma once

#include <cstdint>

// Factorises N and prints its result line when the sum of its divisors has
// the parity wanted. Precondition: S = N and the per-N tables hold only their
// element 0; so they do again on return. Writes nN and everything below.
void calcul();

// Steps of calcul, also driven one by one by the tests.
// diviseurs: factorises S through decomp, sets SN and ND1, fills
// Div[1..ND1] with every divisor of N in increasing order, sets Smax to
// their sum, k to ND1 and Diviseur to the last divisor, N itself (N = 1
// leaves it as it was).
void diviseurs();
// qualifie: whether Smax has the parity in parite (0 accepts every sum).
bool qualifie();
// couper: cuts Div, Prod, Nexpo and Nfact back to their element 0.
void couper();
// ecrire_ligne: appends the result line of nN, SN, ND1 and Smax to the
// output.
void ecrire_ligne();

// Advances the exponent odometer Prod within the limits Nexpo[1..nf], the
// last prime's exponent turning fastest, and increases k when it moved.
// Returns 1. calcul makes the divisors by merges instead (see
// liste_diviseurs.cc, which follows the odometer's order): only the tests'
// step-by-step walk, which keeps the odometer as the design has it, calls
// it.
int32_t suiv2();
