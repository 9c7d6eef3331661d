// The slices of a long listing worked on by several threads: the streamed
// primes of a slice shared out among them, then its segments, a few at a
// time, each thread formatting its own lines. The main thread hands the
// slices over in order and takes their lines back in order; the workers
// touch none of the program-wide variables.
#pragma once

#include <cstdint>
#include <memory>

#include "plage/segments.h"

// The segments of each part of the slice c on `fils` threads: 1 to 64.
int64_t segments_par_part(const Crible& c, int fils);

// The CPUs this process may run on (sched_getaffinity).
int processeurs();

// The threads a long listing is worked on by: KELVARO_FILS when it holds a
// number from 1 to 1024, else processeurs().
int fils_voulus();

// The lines of a packet of N of a slice (kPaquet at most), or the end of a
// slice.
struct Paquet {
  std::unique_ptr<char[]> octets;  // a buffer of the worker's own
  int ouvrier = 0;                 // that worker
  size_t taille = 0;
  int64_t dernier = 0;  // the last N they cover
  int64_t rang = 0;     // the index of their last line (nN after them)
  bool fin_de_tranche = false;
};

// Starts `fils` workers (at least 2), every signal blocked in them.
void equipe_debut(int fils);

// Hands over the slice of the N of c's range (c.debut <= c.fin), whose
// first line has the index rang0 + 1.
void equipe_confier(const Crible& c, int64_t rang0);

// N of the slices handed over whose lines are not all taken back.
int64_t equipe_en_cours();

// Takes back the next packet in order, waiting at most `attente_ms`; false
// when none came.
bool equipe_recevoir(Paquet& paquet, int attente_ms);

// Gives a packet's buffer back to its worker, for use again.
void equipe_rendre(Paquet& paquet);

// Stops the workers and waits for them; what they had not handed back is
// dropped.
void equipe_fin();
