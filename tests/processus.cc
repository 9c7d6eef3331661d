// Process runner for the end-to-end tests.

#include "processus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Horloge = std::chrono::steady_clock;

// Starts the program with `fd_entree` as its standard input, writes `a_ecrire`
// to `fd_ecriture` (unless it is -1) while reading its output.
Execution lancer(int fd_entree, int fd_ecriture, const std::string& a_ecrire,
                 int secondes) {
  int tube[2];
  if (pipe(tube) != 0) std::abort();
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);
    dup2(fd_entree, 0);
    dup2(tube[1], 1);
    close(tube[0]);
    close(tube[1]);
    if (fd_ecriture >= 0) close(fd_ecriture);
    execl(KELVARO_PROGRAMME, "kelvaro", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(tube[1]);
  close(fd_entree);

  Execution r;
  size_t ecrit = 0;
  if (fd_ecriture >= 0) fcntl(fd_ecriture, F_SETFL, O_NONBLOCK);
  const auto limite = Horloge::now() + std::chrono::seconds(secondes);
  char tampon[65536];
  for (;;) {
    if (fd_ecriture >= 0 && ecrit == a_ecrire.size()) {
      close(fd_ecriture);
      fd_ecriture = -1;
    }
    pollfd attente[2] = {{tube[0], POLLIN, 0}, {fd_ecriture, POLLOUT, 0}};
    poll(attente, fd_ecriture >= 0 ? 2 : 1, 100);
    if (fd_ecriture >= 0 && (attente[1].revents & (POLLOUT | POLLERR))) {
      ssize_t n =
          write(fd_ecriture, a_ecrire.data() + ecrit, a_ecrire.size() - ecrit);
      if (n > 0)
        ecrit += static_cast<size_t>(n);
      else if (n < 0)
        ecrit = a_ecrire.size();  // the program closed its input
    }
    if (attente[0].revents & (POLLIN | POLLHUP)) {
      ssize_t n = read(tube[0], tampon, sizeof tampon);
      if (n <= 0) break;
      r.sortie.append(tampon, static_cast<size_t>(n));
    }
    if (Horloge::now() > limite) {
      kill(pid, SIGKILL);
      r.a_temps = false;
      break;
    }
  }
  if (fd_ecriture >= 0) close(fd_ecriture);
  close(tube[0]);
  int etat = 0;
  waitpid(pid, &etat, 0);
  if (WIFEXITED(etat)) r.statut = WEXITSTATUS(etat);
  if (WIFSIGNALED(etat)) r.signal = WTERMSIG(etat);
  return r;
}

}  // namespace

Execution executer(const std::string& entree, int secondes) {
  signal(SIGPIPE, SIG_IGN);
  int tube[2];
  if (pipe(tube) != 0) std::abort();
  return lancer(tube[0], tube[1], entree, secondes);
}

Execution executer_fichier(const std::string& entree, int secondes) {
  char nom[] = "/tmp/kelvaro-entree-XXXXXX";
  int fd = mkstemp(nom);
  if (fd < 0 || write(fd, entree.data(), entree.size()) !=
                    static_cast<ssize_t>(entree.size()))
    std::abort();
  lseek(fd, 0, SEEK_SET);
  unlink(nom);
  return lancer(fd, -1, "", secondes);
}
