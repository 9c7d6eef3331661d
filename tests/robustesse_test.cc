// Hostile input and broken output, end to end through real pipes: every case
// must end with its status well within its delay, in bounded memory.

#include <signal.h>

#include "console.h"
#include "processus.h"

namespace {

using namespace texte;

// The sanitizers make the program several times slower: smaller floods there.
#ifdef KELVARO_SOUS_SANITIZERS
constexpr size_t kGrand = size_t{64} << 20;
constexpr size_t kJetons = 100000;
constexpr const char* kLongueListe = "1 1000000 1 0";
#else
constexpr size_t kGrand = size_t{1} << 30;
constexpr size_t kJetons = 2000000;
constexpr const char* kLongueListe = "1 10000000 1 0";
#endif
constexpr long kMargeKo = 16 << 10;  // memory allowed above a short session

const std::string kReponses = "5 5 0 0";
const std::string kSuite =
    kMax + kParite + kEntete[0] + ligne("1", "5", "2", "6") + kNouveau;

bool finit_par(const std::string& s, const std::string& fin) {
  return s.size() >= fin.size() &&
         s.compare(s.size() - fin.size(), fin.size(), fin) == 0;
}

Options avec(Sortie sortie, bool sigpipe_ignore = false,
             bool entree_fermee = false) {
  Options o;
  o.sortie = sortie;
  o.sigpipe_ignore = sigpipe_ignore;
  o.entree_fermee = entree_fermee;
  o.garder = 1 << 16;
  o.secondes = 120;
  return o;
}

struct Cas {
  const char* nom;
  Entree entree;
  Options options;
  int statut;  // -1: ended by `signal`
  int signal;
  std::string fin;  // how the output ends
};

void verifier(const Cas& c, long base) {
  SCOPED_TRACE(c.nom);
  const Execution r = executer(c.entree, c.options);
  EXPECT_TRUE(r.a_temps);
  EXPECT_EQ(r.statut, c.statut);
  EXPECT_EQ(r.signal, c.signal);
  EXPECT_TRUE(finit_par(r.sortie, c.fin));
  EXPECT_LT(r.memoire_ko, base + kMargeKo);
}

long memoire_de_base() { return executer(kReponses).memoire_ko; }

TEST(Robustesse, FloodsOfInputAreReadInBoundedMemory) {
  const Options tube = avec(Sortie::kTube);
  const Cas lignes[] = {
      {"huge_token",
       {"", "9", kGrand, " " + kReponses},
       tube,
       1,
       0,
       kMin + kMin + kSuite},
      {"huge_binary_token_nul_and_bad_utf8",
       {"", std::string("\xff\xc3\0\x80", 4), kGrand / 16, "\n" + kReponses},
       tube,
       1,
       0,
       kMin + kMin + kSuite},
      {"whitespace_flood",
       {"", " \n\t\r\v\f", kGrand / 24, kReponses},
       tube,
       1,
       0,
       kMin + kSuite},
      {"whitespace_then_end",
       {"", " \n", kGrand / 8, ""},
       tube,
       2,
       0,
       kMin + "\n"},
  };
  const long base = memoire_de_base();
  for (const Cas& c : lignes) verifier(c, base);
}

TEST(Robustesse, BrokenStandardDescriptorsEndPromptly) {
  const Entree liste{kLongueListe, "", 0, ""};
  const Entree reponses{kReponses, "", 0, ""};
  const Cas lignes[] = {
      {"dev_full", reponses, avec(Sortie::kPleine), 3, 0, ""},
      {"stdout_closed", reponses, avec(Sortie::kFermee), 3, 0, ""},
      {"stdin_closed", reponses, avec(Sortie::kTube, false, true), 2, 0,
       kMin + "\n"},
      {"stdin_and_stdout_closed", reponses, avec(Sortie::kFermee, false, true),
       3, 0, ""},
      {"reader_gone_sigpipe_ignored", liste, avec(Sortie::kCoupee, true), 3, 0,
       ""},
      {"reader_gone_sigpipe_default", liste, avec(Sortie::kCoupee), -1, SIGPIPE,
       ""},
  };
  const long base = memoire_de_base();
  for (const Cas& c : lignes) verifier(c, base);
}

TEST(Robustesse, MillionsOfRefusedTokensEachGetThePromptAgain) {
  Options o = avec(Sortie::kTube);
  const Execution base = executer(Entree{kReponses, "", 0, ""}, o);
  const Execution r = executer(Entree{"", "x\n", kJetons, kReponses}, o);
  EXPECT_TRUE(r.a_temps);
  EXPECT_EQ(r.statut, 1);
  EXPECT_EQ(r.taille, base.taille + kJetons * kMin.size());
  EXPECT_TRUE(finit_par(r.sortie, kMin + kSuite));
  EXPECT_LT(r.memoire_ko, base.memoire_ko + kMargeKo);
}

// Only the prime table grows over a long listing, up to the root of the
// largest N: a few thousand entries.
TEST(Robustesse, LongListingKeepsMemoryFlat) {
  const Execution base = executer(kReponses);
  const Execution r =
      executer(Entree{kLongueListe, "", 0, " 0"}, avec(Sortie::kTube));
  EXPECT_TRUE(r.a_temps);
  EXPECT_EQ(r.statut, 1);
  EXPECT_TRUE(finit_par(r.sortie, kNouveau));
  EXPECT_LT(r.memoire_ko, base.memoire_ko + 1024);
}

}  // namespace
