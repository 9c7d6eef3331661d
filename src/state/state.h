// Program-wide state of kelvaro: the answers read at the console, the range
// being walked, and the 1-based tables of primes, factors and divisors. The
// routines take no arguments and talk to each other through these variables.
// Wherever a listing hands control back, every one of them holds what the
// plain walk of calcul over each N would leave: tests and users can look.
#pragma once

#include <cstdint>
#include <string>

#include "state/types.h"

// --- Dialogue -------------------------------------------------------------
extern char message[200];  // prompt text handed to the input reader
extern int64_t valeur0;    // integer accepted by the reader in integer mode
extern int32_t valeur2;    // digit accepted by the reader in a choice mode
extern int32_t xn;         // 1 while the caller forbids the answer 0
extern int64_t nouveau;    // last answer to "start a new calculation?"

// --- Walk over the range --------------------------------------------------
extern int64_t N;       // current N of the walk
extern int64_t Nmax;    // largest N of the range, included
extern int32_t parite;  // parity wanted for the sum: 2 even, 1 odd, 0 either
extern int64_t nN;      // number of N listed so far in this calculation
extern int64_t S;       // number to factorise; reduced in place to 1

// --- Prime table ----------------------------------------------------------
extern Table Nprem;  // Nprem[1..np]: the first np primes, increasing
extern int64_t np;   // how many primes Nprem holds
extern int64_t i;  // odd steps past the last prime; 1 whenever Suiv is entered
extern int64_t j;  // where Suiv's trial division of its last prime stopped

// --- Factorisation of N ---------------------------------------------------
extern Table Nfact;    // Nfact[1..nf]: distinct prime factors of N, increasing
extern Table Nexpo;    // Nexpo[1..nf]: their exponents
extern int32_t nf;     // number of distinct prime factors of N
extern int64_t k;      // prime index while factorising, then divisor count
extern int32_t expo;   // exponent counted for the current prime
extern int32_t f;      // divisions made by the current prime
extern int64_t reste;  // S modulo the current prime
extern int64_t rS;     // largest r with r * r <= S
// How many primes the factorisation tries one by one; past them it finishes
// the cofactor by Miller-Rabin and rho and sets the table and the variables
// as the walk over every prime would have left them. 2048 primes (up to
// 17863) measured best on 10^5 N from 10^12 and 10^4 N below 2^53, against
// 512, 1024, 4096 and 8192: a longer walk costs every N, a shorter one
// leaves rho more factors to find.
constexpr int64_t kMarche = 2048;

// --- Divisors of N --------------------------------------------------------
// The odometer: Prod[m] is the exponent given to Nfact[m]. Stepped by suiv2
// in the tests' step-by-step walk only; calcul leaves it as it found it.
extern Table Prod;
extern Table Div;         // Div[1..ND1]: the divisors of N, increasing
extern int64_t ND1;       // number of divisors of N
extern u128 Smax;         // sum of the divisors of N
extern int64_t Diviseur;  // last divisor placed after 1: N, unless N is 1
extern int64_t SN;        // N as it was on entry to calcul, for the result line

// --- Input reader ---------------------------------------------------------
extern char entree[200];    // last token, cut at its first NUL, terminated
extern std::string saisie;  // token as read, before the copy into entree
extern int32_t l;           // length of the prompt
extern int32_t l1;          // length of the token in entree
extern int32_t a;           // index of the character examined
extern int32_t a1;          // characters of the token accepted so far
extern int32_t refaire;     // 1 when the prompt must be written again
extern int64_t valtest2;    // value of the last character classified

// Puts every variable and table back in the condition the program starts in:
// every table holds its element 0 (Nprem three of them), everything else is 0.
void etat_initial();
