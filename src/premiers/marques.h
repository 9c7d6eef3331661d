// The marks of a segmented sieve of Eratosthenes over the odd numbers, one
// byte per odd number (1 for a composite), shared by the prime table's sieve
// and the stream of the large primes: a segment's start from a pattern, its
// marking by the sieving primes, and the reading of the primes it leaves.
#pragma once

#include <cstdint>
#include <vector>

// Odd numbers in a segment, at most.
constexpr int64_t kMarquesMax = int64_t{1} << 16;

// Index of 17 in a table [0, 2, 3, 5, ...]: the first prime that marks; the
// pattern has marked the multiples of 3 to 13.
constexpr int64_t kPremierCrible = 7;

// Starts the segment of the n odd numbers after lo (lo even, n at most
// kMarquesMax) in compose as a copy of the pattern: 1 for the multiples of
// 3, 5, 7, 11 and 13, those primes themselves excepted.
void copier_motif(unsigned char* compose, int64_t lo, int64_t n);

// Takes on the sieving primes t[kPremierCrible ..] (t holds [0, 2, 3, ...],
// n_premiers primes) whose square is below hi, after those prochain holds
// already, each with the index (the odd number 2x + 1 has index x) of its
// first two multiples after lo that are neither even nor multiples of 3.
void prendre_cribleurs(std::vector<int64_t>& prochain, const int64_t* t,
                       int64_t n_premiers, int64_t lo, int64_t hi);

// Marks in compose the multiples of every prime of prochain among the n odd
// numbers from index base, and keeps each one's next two.
void marquer(unsigned char* compose, std::vector<int64_t>& prochain,
             const int64_t* t, int64_t base, int64_t n);

// Bit d set where marque[d] is 0 (a prime), for the 64 marks from marque;
// every mark is 0 or 1.
uint64_t premiers_de_64(const unsigned char* marque);
