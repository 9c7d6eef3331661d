// The usage text, the version and the refusal of an unknown argument.

#include "driver/options.h"

#include <cstring>
#include <string>

#include "sortie/ecriture.h"

namespace {

constexpr char kAide[] =
    "Usage : kelvaro [--help | --version]\n"
    "\n"
    "Pour chaque entier N d'un intervalle, kelvaro factorise N, somme ses\n"
    "diviseurs et liste les N dont la somme a la parite choisie, avec leur\n"
    "rang, le nombre de leurs diviseurs et cette somme.\n"
    "\n"
    "Le programme pose ses questions (N minimal, N maximal, parite, nouveau\n"
    "calcul) sur l'entree standard. Les reponses peuvent venir d'un tube :\n"
    "  printf '1 100 2 0\\n' | kelvaro\n"
    "\n"
    "Codes de retour : 1 fin normale, 2 fin de l'entree, 3 erreur d'ecriture,\n"
    "4 erreur de lecture, 64 argument inconnu, 128 + n fin par le signal n.\n"
    "\n"
    "KELVARO_FILS=n : nombre de fils de calcul des longues listes (par\n"
    "defaut, un par processeur disponible ; 1 : un seul fil).\n"
    "\n"
    "Le detail : man kelvaro\n";

constexpr char kVersion[] =
    "kelvaro " KELVARO_VERSION
    "\n"
    "Licence MIT : voir /usr/share/doc/kelvaro/copyright.\n";

// Writes all of s to descriptor fd; the status says whether it could.
bool dire(int fd, const std::string& s) {
  return ecrire_tout(fd, s.data(), s.size()) == 0;
}

bool est(const char* mot, const char* option) {
  return std::strcmp(mot, option) == 0;
}

}  // namespace

// One option alone is answered; else the first argument that is not one, or
// the one after it, is named.
int lire_options(int argc, const char* const* argv) {
  if (argc < 2) return -1;
  const char* premier = argv[1];
  const bool aide = est(premier, "--help") || est(premier, "-h"),
             version = est(premier, "--version");
  if (argc == 2 && aide) return dire(1, kAide) ? 0 : 3;
  if (argc == 2 && version) return dire(1, kVersion) ? 0 : 3;
  const char* refuse = aide || version ? argv[2] : premier;
  dire(2,
       std::string("kelvaro: ") +
           (refuse[0] == '-' ? "option inconnue : " : "argument inattendu : ") +
           refuse + "\nkelvaro --help dit comment l'utiliser.\n");
  return kStatutUsage;
}
