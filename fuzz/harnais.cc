// The fuzz checks: standard input over the bytes, output collected, and the
// end of input turned into a jump back here instead of the end of the process.

#include "harnais.h"

#include <cctype>
#include <csetjmp>
#include <iostream>
#include <string>
#include <string_view>

#include "driver/seance.h"
#include "input/controle.h"
#include "state/sortie.h"
#include "state/state.h"

namespace {

// Standard input over exactly the given bytes, so that reading one past
// them is caught by AddressSanitizer. Like a pipe, it cannot be repositioned.
struct Octets : std::streambuf {
  Octets(const uint8_t* octets, size_t taille) {
    char* debut = const_cast<char*>(reinterpret_cast<const char*>(octets));
    setg(debut, debut, debut + taille);
  }
  const char* position() const { return gptr(); }
};

std::jmp_buf saut;
int statut_de_fin;

[[noreturn]] void sauter(int statut) {
  statut_de_fin = statut;
  std::longjmp(saut, 1);
}

// Runs `corps` with `entree` as standard input and the output collected in
// `sortie`; returns the status the process would have ended with, 0 when
// `corps` returned.
// Only plain data lives in the frames the jump leaves, none with a
// destructor, which is what makes longjmp sound here.
int courir(void (*corps)(), Octets& entree, std::string& sortie) {
  std::string poubelle;
  sortie_capture = &poubelle;
  vider();  // whatever an earlier run left in the buffer
  sortie_capture = &sortie;
  std::streambuf* ancienne = std::cin.rdbuf(&entree);
  std::cin.clear();
  fin_detournee = sauter;
  statut_de_fin = 0;
  if (setjmp(saut) == 0) corps();
  vider();
  fin_detournee = nullptr;
  sortie_capture = nullptr;
  std::cin.rdbuf(ancienne);
  return statut_de_fin;
}

// --- The reader, judged from the rules of each mode ------------------------

constexpr int32_t kInconnu = 5;  // a mode the reader does not know
int32_t mode_lu;
const char kInvite[] = "? ";

void lire() { controle(mode_lu, kInvite); }

bool blanc(char c) { return std::isspace(static_cast<unsigned char>(c)); }

// Whether the token (cut at its first NUL) answers the mode, and its value.
// Integer mode: an optional "+", a digit 1 to 9, more digits, at most
// 2^63 - 1; or "0" alone when zero is allowed.
bool valide(std::string_view t, int64_t& v) {
  t = t.substr(0, t.find('\0'));
  if (t.empty() || t.size() >= sizeof entree) return false;
  if (mode_lu != kEntier) {
    v = t[0] - '0';
    return t.size() == 1 && v >= 0 && v <= (mode_lu == kOuiNon ? 1 : 2);
  }
  if (t == "0") return v = 0, xn == 0;
  if (t[0] == '+') t.remove_prefix(1);
  if (t.empty() || t.size() > 19 || t[0] == '0' ||
      t.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  const uint64_t u = std::stoull(std::string(t));  // 19 digits fit in 64 bits
  v = static_cast<int64_t>(u);
  return u <= uint64_t{INT64_MAX};
}

}  // namespace

const char* verifier_lecteur(const uint8_t* octets, size_t taille) {
  if (taille == 0) return nullptr;
  const int32_t modes[] = {kEntier, kOuiNon, kTroisChoix, kInconnu};
  const int32_t mode = modes[octets[0] % 4];
  const int32_t zero_interdit = (octets[0] >> 2) & 1;
  const std::string_view texte(reinterpret_cast<const char*>(octets + 1),
                               taille - 1);

  // What the reader must do: read tokens until one is valid.
  mode_lu = mode;
  xn = zero_interdit;
  size_t jetons = 0, suite = 0;
  bool accepte = mode != kEntier && mode != kOuiNon && mode != kTroisChoix;
  int64_t attendu = 0;
  while (!accepte) {
    while (suite < texte.size() && blanc(texte[suite])) ++suite;
    if (suite == texte.size()) break;
    size_t fin = suite;
    while (fin < texte.size() && !blanc(texte[fin])) ++fin;
    ++jetons;
    accepte = valide(texte.substr(suite, fin - suite), attendu);
    suite = fin;
  }
  std::string invites;  // none in an unknown mode, where nothing is read
  for (size_t m = 0; m < jetons + (accepte ? 0 : 1); ++m) invites += kInvite;

  // What it did.
  etat_initial();
  xn = zero_interdit;
  Octets entree(octets + 1, taille - 1);
  std::string sortie;
  const int statut = courir(lire, entree, sortie);

  if (sortie != invites + (accepte ? "" : "\n")) return "wrong prompts";
  if (statut != (accepte ? 0 : 2)) return "wrong ending";
  if (!accepte) return nullptr;
  if (mode == kEntier && valeur0 != attendu) return "wrong integer";
  if ((mode == kOuiNon || mode == kTroisChoix) && valeur2 != attendu)
    return "wrong digit";
  // The whitespace that ends a token is read with it, and nothing more; an
  // unknown mode reads nothing.
  const size_t lu = jetons > 0 && suite < texte.size() ? suite + 1 : suite;
  if (entree.position() != texte.data() + lu) return "read past the token";
  return nullptr;
}

// --- A whole session --------------------------------------------------------

namespace {

// Whether some run of digits could be read as a number above 999.
bool grand_nombre(const uint8_t* octets, size_t taille) {
  size_t chiffres = 0;
  for (size_t m = 0; m < taille; ++m) {
    chiffres = std::isdigit(octets[m]) ? chiffres + 1 : 0;
    if (chiffres > 3) return true;
  }
  return false;
}

}  // namespace

const char* verifier_seance(const uint8_t* octets, size_t taille,
                            bool& rejete) {
  rejete = grand_nombre(octets, taille);
  if (rejete) return nullptr;
  etat_initial();
  Octets entree(octets, taille);
  std::string sortie;
  const int statut = courir(seance, entree, sortie);

  if (statut != 0 && statut != 2) return "wrong ending";
  const std::string_view fin =
      statut == 0 ? " \n \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  "
                  : "\n";
  if (sortie.size() < fin.size() ||
      sortie.compare(sortie.size() - fin.size(), fin.size(), fin) != 0)
    return "wrong last words";
  for (char c : sortie)
    if (c != '\n' && c != '\t' && (c < ' ' || c > '~'))
      return "output is not plain ASCII";
  for (const Table* t : {&Div, &Prod, &Nfact, &Nexpo})
    if (t->size() != 1 || (*t)[0] != 0) return "per-N table not cut back";
  return nullptr;
}
