// Runs the built program as a separate process, standard input from a pipe
// (or a file), and collects its standard output; options break either end.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

// What is written to the program's standard input: `debut`, then `motif`
// `fois` times over, then `fin`. It is generated while it is written, so a
// gigabyte of it never sits in memory.
struct Entree {
  std::string debut;
  std::string motif;
  size_t fois = 0;
  std::string fin;
};

enum class Sortie {
  kTube,    // a pipe read to its end
  kPleine,  // /dev/full: every write fails
  kFermee,  // descriptor 1 closed at start
  kCoupee,  // a pipe whose reader leaves once the first bytes arrived
};

struct Options {
  Sortie sortie = Sortie::kTube;
  bool entree_fermee = false;   // descriptor 0 closed at start
  bool sigpipe_ignore = false;  // SIGPIPE ignored by the program
  size_t garder = SIZE_MAX;     // keep only about the last `garder` bytes
  int secondes = 60;            // killed after this delay
};

struct Execution {
  std::string sortie;   // the output, or its end past `garder` bytes
  size_t taille = 0;    // how many bytes it wrote in all
  int statut = -1;      // exit status, or -1 when killed by a signal
  int signal = 0;       // the signal that ended it, if any
  bool a_temps = true;  // false when it had to be killed after the delay
  long memoire_ko = 0;  // its peak resident memory
};

Execution executer(const Entree& entree, const Options& options);

// Feeds `entree` through a pipe (closed once written) and waits at most
// `secondes` for the program to end.
Execution executer(const std::string& entree, int secondes = 60);

// Same, with standard input redirected from a regular file holding `entree`.
Execution executer_fichier(const std::string& entree, int secondes = 60);

// Waits at most `secondes` for `pid` to end, and kills it past that. Leaves
// its wait status in `etat` (and its peak memory in `memoire_ko` when not
// null); returns false when it had to be killed.
bool attendre_fin(pid_t pid, int secondes, int& etat,
                  long* memoire_ko = nullptr);
