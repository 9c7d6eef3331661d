// Runs the built program as a separate process, feeding its standard input
// and collecting its standard output and standard error; options break
// either end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <iterator>
#include <string>

enum class Bout {
  kTube,     // a pipe, written to its end or read to its end
  kFichier,  // input only: a regular file holding `debut`
  kFermee,   // input only: descriptor closed at start
  kPleine,   // output only: /dev/full, where every write fails
  kCoupee,   // output only: a pipe whose reader leaves at the first bytes
  kLente,    // output only: read a byte at a time, then in pauses of 150 ms
  kLenteNonBloquante,  // the same, the program's end left non-blocking
};

// The input is `debut`, then `motif` `fois` times over, then `fin`, generated
// while it is written: a gigabyte of it never sits in memory.
struct Options {
  std::string debut{}, motif{};
  size_t fois = 0;
  std::string fin{};
  Bout entree = Bout::kTube, sortie = Bout::kTube;
  bool sigpipe_ignore = false;
  std::string guetter{};  // text whose arrival in the output is timed
};

struct Execution {
  std::string sortie;  // the output, or its last 128 KiB or more
  size_t taille = 0;   // how many bytes it wrote in all
  uint64_t empreinte = 14695981039346656037u;  // FNV-1a of all of them
  int statut = 0;       // exit status, minus the signal, kTue after two minutes
  long memoire_ko = 0;  // its peak resident memory
  std::string erreurs;  // all it wrote to standard error
  // Seconds from its first output byte until `guetter` showed (-1: never),
  // and until its output ended.
  double delai = -1, duree = 0;
};

Execution executer(const Options& o);

// In a child process: replaces it with the built program, through the
// emulator in a cross build, or ends it with 127. Async-signal-safe: for the
// child between fork and exec.
[[noreturn]] void lancer_programme();

// The command that starts the program (through the emulator in a cross
// build), for a shell.
std::string commande_programme();

using Horloge = std::chrono::steady_clock;

// Time given to one run of the program at a terminal: under an emulator (a
// cross build) the program is many times slower.
constexpr const char* kEmulateur[] = {KELVARO_EMULATEUR nullptr};
constexpr auto kDelaiTerminal =
    std::chrono::seconds(std::size(kEmulateur) > 1 ? 150 : 60);

// Waits until `limite` for `pid` to end, and kills it past that. Returns
// its exit status, minus the signal that ended it, or kTue when it had to be
// killed; leaves its peak memory in `memoire_ko` when not null.
constexpr int kTue = -1000;
int attendre_fin(pid_t pid, Horloge::time_point limite, long* memoire_ko);
