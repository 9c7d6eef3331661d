// Process runner for the end-to-end tests.

#include "processus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/personality.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace {

// Writes all of `t` to `fd`; false once the program has closed its input.
bool envoyer(int fd, std::string_view t) {
  for (ssize_t n = 0; !t.empty(); t.remove_prefix(static_cast<size_t>(n)))
    if ((n = write(fd, t.data(), t.size())) <= 0) return false;
  return true;
}

// Writes the input of `o` and closes `fd`; the motifs go in blocks of about
// 64 KiB, so a gigabyte of them never sits in memory.
void ecrire_entree(int fd, const Options& o) {
  std::string bloc;
  while (!o.motif.empty() && bloc.size() < (1 << 16)) bloc += o.motif;
  const size_t par_bloc = o.motif.empty() ? 0 : bloc.size() / o.motif.size();
  bool ouvert = envoyer(fd, o.debut);
  for (size_t reste = par_bloc > 0 ? o.fois : 0; ouvert && reste > 0;) {
    const size_t n = std::min(reste, par_bloc);
    ouvert = envoyer(fd, std::string_view(bloc).substr(0, n * o.motif.size()));
    reste -= n;
  }
  if (ouvert) envoyer(fd, o.fin);
  close(fd);
}

// In the child: sets up descriptors 0, 1 and 2 and SIGPIPE, then runs the
// program at the same addresses every run, so that its peak memory compares
// from run to run. Only async-signal-safe calls between fork and exec.
[[noreturn]] void demarrer(int entree, int sortie, int erreurs,
                           const Options& o) {
  personality(ADDR_NO_RANDOMIZE);
  signal(SIGPIPE, o.sigpipe_ignore ? SIG_IGN : SIG_DFL);
  dup2(erreurs, 2);
  dup2(entree, 0);
  if (o.entree == Bout::kFermee) close(0);
  if (o.sortie == Bout::kPleine) sortie = open("/dev/full", O_WRONLY);
  dup2(sortie, 1);
  if (o.sortie == Bout::kLenteNonBloquante)
    fcntl(1, F_SETFL, fcntl(1, F_GETFL) | O_NONBLOCK);
  for (int fd = 3; fd < 64; ++fd) close(fd);
  lancer_programme();
}

}  // namespace

std::string commande_programme() {
  std::string commande;
  for (const char* mot : {KELVARO_EMULATEUR KELVARO_PROGRAMME})
    commande += std::string(commande.empty() ? "'" : " '") + mot + "'";
  return commande;
}

void lancer_programme() {
  // KELVARO_EMULATEUR: the words of the emulator's command, each a string
  // and a comma, or nothing for a native build.
  const char* const mots[] = {KELVARO_EMULATEUR KELVARO_PROGRAMME, nullptr};
  execv(mots[0], const_cast<char* const*>(mots));
  _exit(127);
}

Execution executer(const Options& o) {
  signal(SIGPIPE, SIG_IGN);  // our writes to a program gone fail instead
  int entree[2], tube[2];
  if (pipe(entree) != 0 || pipe(tube) != 0) std::abort();
  if (o.entree == Bout::kFichier) {  // in place of the pipe: no input written
    FILE* f = std::tmpfile();
    std::fputs(o.debut.c_str(), f);
    std::rewind(f);
    dup2(fileno(f), entree[0]);
    std::fclose(f);
  }
  FILE* erreurs = std::tmpfile();
  const pid_t pid = fork();
  if (pid == 0) demarrer(entree[0], tube[1], fileno(erreurs), o);
  close(entree[0]);
  close(tube[1]);
  std::thread ecrivain(ecrire_entree, entree[1], std::cref(o));

  // Reads the output to its end, or to the hang guard of two minutes.
  Execution r;
  const auto limite = Horloge::now() + std::chrono::seconds(120);
  std::chrono::duration<double> depuis_debut{};
  Horloge::time_point debut{};
  char tampon[65536];
  for (ssize_t n = 1; n > 0 && Horloge::now() < limite;) {
    pollfd attente = {tube[0], POLLIN, 0};
    if (poll(&attente, 1, 100) == 0) continue;
    // The slow reader: one byte at a time for the first 4 KiB, then a
    // pause before each MiB, during which the program's writes block.
    const bool lent =
        o.sortie == Bout::kLente || o.sortie == Bout::kLenteNonBloquante;
    if (lent && r.taille >= 4096 && r.taille % (1 << 20) < sizeof tampon)
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const size_t voulu = lent && r.taille < 4096 ? 1 : sizeof tampon;
    if ((n = read(tube[0], tampon, voulu)) > 0) {
      for (ssize_t u = 0; u < n; ++u)
        r.empreinte = (r.empreinte ^ static_cast<unsigned char>(tampon[u])) *
                      1099511628211u;
      if (r.taille == 0) debut = Horloge::now();
      depuis_debut = Horloge::now() - debut;
      r.sortie.append(tampon, static_cast<size_t>(n));
      if (r.delai < 0 && !o.guetter.empty() &&
          r.sortie.find(o.guetter) != std::string::npos)
        r.delai = depuis_debut.count();
      r.taille += static_cast<size_t>(n);
      if (r.sortie.size() > (1 << 18)) r.sortie.erase(0, 1 << 17);
    }
    if (o.sortie == Bout::kCoupee) break;
  }
  close(tube[0]);
  r.duree = depuis_debut.count();
  r.statut = attendre_fin(pid, limite + std::chrono::seconds(1), &r.memoire_ko);
  ecrivain.join();  // with the program gone, its writes fail
  std::rewind(erreurs);
  for (size_t n; (n = std::fread(tampon, 1, sizeof tampon, erreurs)) > 0;)
    r.erreurs.append(tampon, n);
  std::fclose(erreurs);
  return r;
}

int attendre_fin(pid_t pid, Horloge::time_point limite, long* memoire_ko) {
  rusage usage{};
  int etat = 0;
  while (wait4(pid, &etat, WNOHANG, &usage) == 0) {
    if (Horloge::now() > limite) {
      kill(pid, SIGKILL);
      wait4(pid, &etat, 0, &usage);
      return kTue;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (memoire_ko != nullptr) *memoire_ko = usage.ru_maxrss;
  return WIFEXITED(etat) ? WEXITSTATUS(etat) : -WTERMSIG(etat);
}
