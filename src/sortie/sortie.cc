// The output buffer and the end of the process, with what it says on
// standard error when the output cannot be written.

#include "sortie/sortie.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "sortie/ecriture.h"

namespace {

// Large enough that a long listing costs few system calls (a line of the
// listing is under 200 bytes: 5000 lines or more per write).
constexpr size_t kTaille = 1 << 20;
char tampon[kTaille];

}  // namespace

std::string* sortie_capture = nullptr;
void (*fin_detournee)(int) = nullptr;
size_t (*vers_le_terminal)(const char*, size_t) = nullptr;
void (*avant_echec)() = nullptr;
char* sortie_pos = tampon;
char* sortie_fin = tampon + kTaille;

namespace {

// Writes n bytes from p to descriptor 1, or to the capture.
void ecrire_sortie(const char* p, size_t n) {
  if (sortie_capture != nullptr)
    sortie_capture->append(p, n);
  else
    envoyer(p, n);
}

}  // namespace

void envoyer(const char* octets, size_t n) {
  const int erreur = ecrire_tout(1, octets, n);
  if (erreur != 0)
    echouer("erreur d'ecriture sur la sortie standard", erreur, 3);
}

// What the terminal's hook leaves moves to the front of the buffer: at most
// the end of one line, as it writes up to the last newline.
void vider() {
  const size_t n = static_cast<size_t>(sortie_pos - tampon);
  if (vers_le_terminal != nullptr && sortie_capture == nullptr && n > 0) {
    const size_t fait = vers_le_terminal(tampon, n);
    std::memmove(tampon, tampon + fait, n - fait);
    sortie_pos = tampon + (n - fait);
    return;
  }
  sortie_pos = tampon;
  ecrire_sortie(tampon, n);
}

// A large text is written from where it is, after what the buffer holds;
// at a terminal with a status line it goes through the buffer, whose
// writes keep the line below.
void ecrire_sur_place(const char* texte, size_t n) {
  if (n < kTaille / 16 || vers_le_terminal != nullptr) {
    ecrire(texte, n);
    return;
  }
  vider();
  ecrire_sortie(texte, n);
}

// The output buffer is left as it is: writing it could fail again.
void echouer(const char* quoi, int erreur, int statut) {
  if (avant_echec != nullptr) avant_echec();
  std::string ligne = "kelvaro: ";
  ligne.append(quoi).append(" : ").append(std::strerror(erreur)).append("\n");
  ecrire_tout(2, ligne.data(), ligne.size());
  std::_Exit(statut);
}

void terminer(int statut) {
  vider();
  if (fin_detournee != nullptr) fin_detournee(statut);
  std::exit(statut);
}

void ecrire_long(const char* texte, size_t n) {
  while (n > 0) {
    if (sortie_pos == sortie_fin) vider();
    size_t place = static_cast<size_t>(sortie_fin - sortie_pos);
    size_t m = n < place ? n : place;
    std::memcpy(sortie_pos, texte, m);
    sortie_pos += m;
    texte += m;
    n -= m;
  }
}
