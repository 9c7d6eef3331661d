// The fuzz targets' checks: the input reader, or a whole session, run over
// arbitrary bytes standing for standard input, and what must hold for any
// input checked. The tests use its standard input over bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>

// Standard input over exactly the given bytes, so that reading one past
// them is caught by AddressSanitizer. Like a pipe, it cannot be repositioned.
struct Octets : std::streambuf {
  Octets(const void* octets, size_t taille) {
    char* debut = const_cast<char*>(static_cast<const char*>(octets));
    setg(debut, debut, debut + taille);
  }
  const char* position() const { return gptr(); }
};

// First byte: the mode (integer, yes/no, three-way or an unknown one) and
// xn; the other bytes: standard input. Returns null when the reader ended
// well, else what went wrong.
const char* verifier_lecteur(const uint8_t* octets, size_t taille);

// A whole session reading the bytes. Returns null when it ended well, else
// what went wrong. Sets `rejete` (and runs nothing) when an answer could
// pass 999, so that every range stays small.
const char* verifier_seance(const uint8_t* octets, size_t taille, bool& rejete);
