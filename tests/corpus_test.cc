// The fuzzers' corpus replayed through their own checks, so that every
// build re-runs what they found, without clang.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "harnais.h"

namespace {

const char* seance(const uint8_t* octets, size_t taille) {
  bool rejete = false;
  return verifier_seance(octets, taille, rejete);
}

TEST(Corpus, EveryInputPassesTheFuzzChecks) {
  const struct {
    const char* cible;
    const char* (*verifier)(const uint8_t*, size_t);
  } cibles[] = {{"lecteur", verifier_lecteur}, {"seance", seance}};
  for (const auto& c : cibles) {
    int fichiers = 0;
    for (const auto& entree : std::filesystem::directory_iterator(
             std::filesystem::path(KELVARO_CORPUS) / c.cible)) {
      std::ifstream f(entree.path(), std::ios::binary);
      const std::vector<uint8_t> octets{std::istreambuf_iterator<char>(f), {}};
      const char* faute = c.verifier(octets.data(), octets.size());
      EXPECT_EQ(faute, nullptr) << entree.path() << ": " << faute;
      ++fichiers;
    }
    EXPECT_GT(fichiers, 10) << c.cible;
  }
}

}  // namespace
