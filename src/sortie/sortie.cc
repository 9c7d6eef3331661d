// The output buffer and the end of the process, with what it says on
// standard error when the output cannot be written.

#include "sortie/sortie.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Large enough that a long listing costs few system calls (a line of the
// listing is under 200 bytes: 5000 lines or more per write).
constexpr size_t kTaille = 1 << 20;
char tampon[kTaille];

}  // namespace

std::string* sortie_capture = nullptr;
void (*fin_detournee)(int) = nullptr;
void (*avant_vidage)(const char*, size_t) = nullptr;
void (*avant_echec)() = nullptr;
char* sortie_pos = tampon;
char* sortie_fin = tampon + kTaille;

namespace {

// Writes n bytes from p to descriptor 1 (or the capture), the status line's
// hook first.
void ecrire_sortie(const char* p, size_t reste_a_ecrire) {
  if (sortie_capture != nullptr) {
    sortie_capture->append(p, reste_a_ecrire);
    return;
  }
  if (avant_vidage != nullptr && reste_a_ecrire > 0)
    avant_vidage(p, reste_a_ecrire);
  while (reste_a_ecrire > 0) {
    ssize_t n = ::write(1, p, reste_a_ecrire);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      echouer("erreur d'ecriture sur la sortie standard",
              n < 0 ? errno : ENOSPC, 3);
    p += n;
    reste_a_ecrire -= static_cast<size_t>(n);
  }
}

}  // namespace

void vider() {
  const size_t n = static_cast<size_t>(sortie_pos - tampon);
  sortie_pos = tampon;
  ecrire_sortie(tampon, n);
}

// A large block is written from where it is, after what the buffer holds.
void ecrire_bloc(const char* texte, size_t n) {
  if (n < kTaille / 16) {
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
  const ssize_t ignore = ::write(2, ligne.data(), ligne.size());
  (void)ignore;
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
