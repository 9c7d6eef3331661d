// Hostile input and broken output, end to end through real pipes: every case
// must end with its status within the hang guard, in bounded memory, and a
// broken end be named on standard error with the system's reason.

#include <signal.h>

#include <algorithm>

#include "console.h"
#include "processus.h"

namespace {

using namespace texte;

// The sanitizers make the program several times slower: smaller floods there.
// A listing's fixed arrays (4096 k of squares, a sieve segment of 32768 N) take
// up to 1.2 MB beyond the plain session; the sanitizers' allocator 2 MB more.
#ifdef KELVARO_SOUS_SANITIZERS
constexpr size_t kGrand = size_t{64} << 20, kJetons = 100000;
constexpr long kMargeListe = 4 << 10;
#else
constexpr size_t kGrand = size_t{1} << 30, kJetons = 2000000;
constexpr long kMargeListe = 2 << 10;
#endif
// Every sum: a listing worked on by several threads (KELVARO_FILS below).
const std::string kLongueListe = "1 10000000 0 0";

const std::string kReponses = "5 5 0 0";
const std::string kEcriture =
    "kelvaro: erreur d'ecriture sur la sortie standard : ";
const std::string kLecture =
    "kelvaro: erreur de lecture sur l'entree standard : ";
const std::string kSuite =
    kMax + kParite + kEntete[0] + lignes({"5 2 6"}) + kNouveau;

// The input: `motif` `fois` times over, then `fin`.
Options flot(std::string motif, size_t fois, std::string fin) {
  return {.motif = std::move(motif), .fois = fois, .fin = std::move(fin)};
}

// The input `debut` with either end of the program broken.
Options bris(Bout entree, Bout sortie, const std::string& debut = kReponses,
             bool sigpipe_ignore = false) {
  return {.debut = debut,
          .entree = entree,
          .sortie = sortie,
          .sigpipe_ignore = sigpipe_ignore};
}

struct Cas {
  const char* nom;
  Options o;
  int statut;         // exit status, or minus the signal that ended it
  std::string fin;    // how the output ends
  long invites = -1;  // prompts written beyond the plain session's, if known
  long marge_ko = 16 << 10;  // memory allowed beyond the plain session's
  std::string erreurs{};     // how standard error begins: its only line
  std::string court{};       // a listing ten times shorter, to compare with
};
void PrintTo(const Cas& c, std::ostream* o) { *o << c.nom; }

const Cas kCas[] = {
    {"huge_token", flot("9", kGrand, " " + kReponses), 1, kMin + kMin + kSuite,
     1},
    {"whitespace_flood", flot(" \n\t\r\v\f", kGrand / 24, kReponses), 1,
     kMin + kSuite, 0},
    {"millions_of_refused_tokens", flot("x\n", kJetons, kReponses), 1,
     kMin + kSuite, static_cast<long>(kJetons)},
    {"dev_full", bris(Bout::kTube, Bout::kPleine), 3, "", -1, 16 << 10,
     kEcriture + "No space left on device\n"},
    {"stdin_closed", bris(Bout::kFermee, Bout::kTube), 4, kMin + "\n", -1,
     16 << 10, kLecture + "Bad file descriptor\n"},
    {"reader_gone_sigpipe_ignored",
     bris(Bout::kTube, Bout::kCoupee, kLongueListe, true), 3, "", -1, 64 << 10,
     kEcriture + "Broken pipe\n"},
    {"reader_gone_sigpipe_default",
     bris(Bout::kTube, Bout::kCoupee, kLongueListe), -SIGPIPE, ""},
    // Both listings fill the output buffer and the block of squares: past
    // them only the prime table grows, up to the root of the largest N.
    {"long_listing_memory_flat",
     {"1 1000000000 1 0"},
     1,
     kNouveau,
     -1,
     kMargeListe,
     "",
     "1 100000000 1 0"}};

class Robustesse : public ::testing::TestWithParam<Cas> {};

TEST_P(Robustesse, EndsPromptlyInBoundedMemory) {
  const Cas& c = GetParam();
  setenv("KELVARO_FILS", "3", 1);
  // The plain session, run just before: a child's peak memory counts what
  // the test process held when it forked.
  const Execution base = executer({kReponses});
  const Execution r = executer(c.o);
  EXPECT_EQ(r.statut, c.statut);
  EXPECT_TRUE(r.sortie.ends_with(c.fin));
  EXPECT_TRUE(r.erreurs.starts_with(c.erreurs)) << r.erreurs;
  EXPECT_EQ(std::count(r.erreurs.begin(), r.erreurs.end(), '\n'),
            c.erreurs.empty() ? 0 : 1);
  EXPECT_LT(r.memoire_ko, base.memoire_ko + c.marge_ko);
  const size_t attendu =
      base.taille + static_cast<size_t>(c.invites) * kMin.size();
  EXPECT_TRUE(c.invites < 0 || r.taille == attendu) << r.taille;
  // The shorter listing peaks within 576 KB (the output buffer's pages,
  // the leak check's own memory): what grows with the N walked shows here,
  // even memory freed and taken anew, which the sanitizers keep from reuse.
  if (c.court.empty()) return;
  EXPECT_LT(r.memoire_ko, executer({c.court}).memoire_ko + 576);
}

// A reader that takes one byte at a time, then pauses while the program's
// writes block and the listing's ticks interrupt them part way, or fail at
// once when another program left the descriptor non-blocking: the same
// bytes as a reader that keeps up.
TEST(Sortie, SlowReaderGetsTheSameBytes) {
  const Execution vif =
      executer(bris(Bout::kTube, Bout::kTube, "1 200000 0 0"));
  ASSERT_GT(vif.taille, size_t{8} << 20);
  for (const Bout b : {Bout::kLente, Bout::kLenteNonBloquante}) {
    const Execution lent = executer(bris(Bout::kTube, b, "1 200000 0 0"));
    EXPECT_EQ(lent.taille, vif.taille) << lent.erreurs;
    EXPECT_EQ(lent.empreinte, vif.empreinte);
    EXPECT_EQ(lent.statut, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Hostile, Robustesse, ::testing::ValuesIn(kCas),
                         kNomDuCas);

}  // namespace
