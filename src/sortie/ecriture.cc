// The one loop that writes a text out whole.

#include "sortie/ecriture.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

// A descriptor left non-blocking by another program (the flag belongs to
// what the descriptors share, a terminal's or a pipe's): the write waits
// for room instead of failing.
int ecrire_tout(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t fait = ::write(fd, p, n);
    if (fait < 0 && errno == EINTR) continue;
    if (fait < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd attente = {fd, POLLOUT, 0};
      if (poll(&attente, 1, -1) >= 0 || errno == EINTR) continue;
    }
    if (fait <= 0) return fait < 0 ? errno : ENOSPC;
    p += fait;
    n -= static_cast<size_t>(fait);
  }
  return 0;
}
