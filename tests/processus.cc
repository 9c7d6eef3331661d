// Process runner for the end-to-end tests.

#include "processus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

using Horloge = std::chrono::steady_clock;

// The bytes of an Entree in order, produced piece by piece: the repeated
// part comes from one block of whole motifs, so byte q of it is
// bloc_[q % bloc_.size()].
class Generateur {
 public:
  explicit Generateur(const Entree& e)
      : e_(e), total_(e.motif.size() * e.fois) {
    while (!e.motif.empty() && bloc_.size() < (1 << 16)) bloc_ += e.motif;
  }
  std::string_view prochain() const {
    size_t q = p_;
    if (q < e_.debut.size()) return std::string_view(e_.debut).substr(q);
    q -= e_.debut.size();
    if (q < total_) {
      const size_t dans = q % bloc_.size();
      const size_t n = std::min(bloc_.size() - dans, total_ - q);
      return std::string_view(bloc_).substr(dans, n);
    }
    q -= total_;
    if (q < e_.fin.size()) return std::string_view(e_.fin).substr(q);
    return {};
  }
  void avancer(size_t n) { p_ += n; }

 private:
  const Entree& e_;
  const size_t total_;
  std::string bloc_;
  size_t p_ = 0;
};

// In the child: sets up descriptors 0 and 1 and SIGPIPE, then runs the
// program. Only async-signal-safe calls between fork and exec.
[[noreturn]] void demarrer(int fd_entree, int tube_sortie, const Options& o) {
  signal(SIGPIPE, o.sigpipe_ignore ? SIG_IGN : SIG_DFL);
  if (o.entree_fermee)
    close(0);
  else
    dup2(fd_entree, 0);
  if (o.sortie == Sortie::kPleine) dup2(open("/dev/full", O_WRONLY), 1);
  if (o.sortie == Sortie::kFermee) close(1);
  if (o.sortie == Sortie::kTube || o.sortie == Sortie::kCoupee)
    dup2(tube_sortie, 1);
  for (int fd = 3; fd < 64; ++fd) close(fd);
  execl(KELVARO_PROGRAMME, "kelvaro", static_cast<char*>(nullptr));
  _exit(127);
}

// Starts the program with `fd_entree` as standard input; writes what
// `source` generates to `fd_ecriture` (unless it is -1) while reading the
// output, until both ends are done or the delay has passed.
Execution lancer(int fd_entree, int fd_ecriture, Generateur& source,
                 const Options& o) {
  int tube[2];
  if (pipe(tube) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) demarrer(fd_entree, tube[1], o);
  close(tube[1]);
  close(fd_entree);
  int fd_sortie = tube[0];

  Execution r;
  if (fd_ecriture >= 0) fcntl(fd_ecriture, F_SETFL, O_NONBLOCK);
  const auto limite = Horloge::now() + std::chrono::seconds(o.secondes);
  char tampon[65536];
  while ((fd_ecriture >= 0 || fd_sortie >= 0) && Horloge::now() < limite) {
    if (fd_ecriture >= 0 && source.prochain().empty()) {
      close(fd_ecriture);
      fd_ecriture = -1;
    }
    pollfd attente[2] = {{fd_sortie, POLLIN, 0}, {fd_ecriture, POLLOUT, 0}};
    poll(attente, 2, 100);  // a negative descriptor is skipped
    if (attente[1].revents & (POLLOUT | POLLERR | POLLHUP)) {
      const std::string_view morceau = source.prochain();
      const ssize_t n = write(fd_ecriture, morceau.data(), morceau.size());
      if (n > 0) source.avancer(static_cast<size_t>(n));
      if (n < 0 && errno != EAGAIN) {  // the program closed its input
        close(fd_ecriture);
        fd_ecriture = -1;
      }
    }
    if (attente[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = read(fd_sortie, tampon, sizeof tampon);
      if (n > 0) {
        r.sortie.append(tampon, static_cast<size_t>(n));
        r.taille += static_cast<size_t>(n);
        if (r.sortie.size() > o.garder && r.sortie.size() - o.garder > 65536)
          r.sortie.erase(0, r.sortie.size() - o.garder);
      }
      if (n <= 0 || o.sortie == Sortie::kCoupee) {
        close(fd_sortie);
        fd_sortie = -1;
      }
    }
  }
  if (fd_ecriture >= 0) close(fd_ecriture);
  if (fd_sortie >= 0) close(fd_sortie);
  // Past the delay the output is still open: one more second, then killed.
  const auto reste =
      std::chrono::duration_cast<std::chrono::seconds>(limite - Horloge::now());
  int etat = 0;
  r.a_temps =
      attendre_fin(pid, std::max(0, static_cast<int>(reste.count())) + 1, etat,
                   &r.memoire_ko);
  if (WIFEXITED(etat)) r.statut = WEXITSTATUS(etat);
  if (WIFSIGNALED(etat)) r.signal = WTERMSIG(etat);
  return r;
}

}  // namespace

bool attendre_fin(pid_t pid, int secondes, int& etat, long* memoire_ko) {
  const auto limite = Horloge::now() + std::chrono::seconds(secondes);
  rusage usage{};
  bool a_temps = true;
  while (wait4(pid, &etat, WNOHANG, &usage) == 0) {
    if (Horloge::now() > limite) {
      kill(pid, SIGKILL);
      wait4(pid, &etat, 0, &usage);
      a_temps = false;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (memoire_ko != nullptr) *memoire_ko = usage.ru_maxrss;
  return a_temps;
}

Execution executer(const Entree& entree, const Options& options) {
  signal(SIGPIPE, SIG_IGN);
  int tube[2];
  if (pipe(tube) != 0) std::abort();
  Generateur source(entree);
  return lancer(tube[0], tube[1], source, options);
}

Execution executer(const std::string& entree, int secondes) {
  Options options;
  options.secondes = secondes;
  return executer(Entree{entree, "", 0, ""}, options);
}

Execution executer_fichier(const std::string& entree, int secondes) {
  char nom[] = "/tmp/kelvaro-entree-XXXXXX";
  int fd = mkstemp(nom);
  if (fd < 0 || write(fd, entree.data(), entree.size()) !=
                    static_cast<ssize_t>(entree.size()))
    std::abort();
  lseek(fd, 0, SEEK_SET);
  unlink(nom);
  Options options;
  options.secondes = secondes;
  Entree rien;
  Generateur source(rien);
  return lancer(fd, -1, source, options);
}
