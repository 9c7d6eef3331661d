// Reading and repositioning descriptor 0 for the input reader.

#include "input/entree_standard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "sortie/sortie.h"

EntreeStandard::int_type EntreeStandard::underflow() {
  for (;;) {
    ssize_t n = ::read(0, tampon_, sizeof tampon_);
    if (n > 0) {
      setg(tampon_, tampon_, tampon_ + n);
      return traits_type::to_int_type(tampon_[0]);
    }
    if (n == 0) return traits_type::eof();
    if (errno == EINTR) continue;
    // A descriptor left non-blocking by another program: wait for input.
    pollfd attente = {0, POLLIN, 0};
    if ((errno == EAGAIN || errno == EWOULDBLOCK) &&
        (poll(&attente, 1, -1) >= 0 || errno == EINTR))
      continue;
    // The prompt ends its row as at the end of input; the reason follows.
    const int erreur = errno;
    ecrire("\n", 1);
    vider();
    echouer("erreur de lecture sur l'entree standard", erreur, 4);
  }
}

EntreeStandard::pos_type EntreeStandard::seekoff(off_type decalage,
                                                 std::ios_base::seekdir depuis,
                                                 std::ios_base::openmode) {
  int origine = SEEK_SET;
  if (depuis == std::ios_base::end) origine = SEEK_END;
  if (depuis == std::ios_base::cur) {
    origine = SEEK_CUR;
    decalage -= egptr() - gptr();  // the descriptor is ahead of the reader
  }
  off_t position = ::lseek(0, static_cast<off_t>(decalage), origine);
  if (position < 0) return pos_type(off_type(-1));
  setg(tampon_, tampon_, tampon_);
  return pos_type(static_cast<off_type>(position));
}

EntreeStandard::pos_type EntreeStandard::seekpos(pos_type position,
                                                 std::ios_base::openmode mode) {
  return seekoff(off_type(position), std::ios_base::beg, mode);
}
