// The one loop that writes a text out whole.

#include "sortie/ecriture.h"

#include <unistd.h>

#include <cerrno>

int ecrire_tout(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t fait = ::write(fd, p, n);
    if (fait < 0 && errno == EINTR) continue;
    if (fait <= 0) return fait < 0 ? errno : ENOSPC;
    p += fait;
    n -= static_cast<size_t>(fait);
  }
  return 0;
}
