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
#include "sortie/sortie.h"
#include "state/state.h"

namespace {

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

// --- The reader ------------------------------------------------------------

constexpr int32_t kInconnu = 5;  // a mode the reader does not know
int32_t mode_lu;

void lire() { controle(mode_lu, "? "); }

}  // namespace

// What the reader accepts is pinned token by token by the unit tests; here
// only what must hold for any input: prompts and nothing else, one more "\n"
// at the end of the input, and an answer within its mode's range.
const char* verifier_lecteur(const uint8_t* octets, size_t taille) {
  if (taille == 0) return nullptr;
  const int32_t modes[] = {kEntier, kOuiNon, kTroisChoix, kInconnu};
  mode_lu = modes[octets[0] % 4];
  etat_initial();
  xn = (octets[0] >> 2) & 1;
  valeur0 = valeur2 = -1;
  Octets entree(octets + 1, taille - 1);
  std::string sortie;
  const int statut = courir(lire, entree, sortie);

  if (statut != 0 && statut != 2) return "wrong ending";
  std::string invites;
  while (invites.size() + 2 <= sortie.size()) invites += "? ";
  if (sortie != invites + (statut == 2 ? "\n" : "")) return "wrong prompts";
  if (mode_lu == kInconnu)
    return sortie.empty() && entree.position() ==
                                 reinterpret_cast<const char*>(octets + 1)
               ? nullptr
               : "an unknown mode read";
  if (statut == 2) return nullptr;
  if (mode_lu == kEntier) return valeur0 >= xn ? nullptr : "wrong integer";
  const int32_t plus_grand = mode_lu == kOuiNon ? 1 : 2;
  return valeur2 >= 0 && valeur2 <= plus_grand ? nullptr : "wrong digit";
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
