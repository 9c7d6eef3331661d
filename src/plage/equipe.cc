// The workers of a long listing and what they share with the main thread:
// the slices handed over, in order, each with its shares of streamed primes
// and its parts (a few segments each), and the blocks of lines the parts
// hand back, taken in order by the main thread. One lock guards it all.

#include "plage/equipe.h"

#include <sched.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "plage/carres.h"
#include "sortie/ligne.h"

namespace {

// N per part: the sieving primes' offsets are found anew at each part's
// start (a division per prime), and a part's lines (up to 14 MB) wait
// whole when the main thread has not come to them yet.
constexpr int64_t kPart = 4 * kSegment;

// Room for the lines of a segment.
constexpr size_t kTailleBloc = static_cast<size_t>(kSegment * kLigneMax);

// A part of a slice: its N, the index of the line before its first, and
// its blocks, one per segment, until the main thread takes them.
struct Part {
  int64_t lo = 0, fin = 0;
  int64_t rang0 = 0;
  bool finie = false;
  std::deque<Bloc> blocs;
};

struct Tranche {
  Crible c;
  std::vector<std::pair<int64_t, int64_t>> partages;  // (de, a] of primes
  std::vector<Notes> notes;                           // one per share
  std::vector<const Notes*> listes;
  size_t partages_pris = 0, partages_finis = 0;
  std::deque<Part> parts;
  size_t part_suivante = 0;  // the next a worker may take
  size_t part_lue = 0;       // the one the main thread reads
};

// What a worker took: a share of a slice's primes, or one of its parts.
struct Tache {
  Tranche* t = nullptr;
  bool partage = false;
  size_t indice = 0;
};

std::mutex verrou;
std::condition_variable travail;  // workers wait on it
std::condition_variable rendu;    // the main thread waits on it
std::deque<std::unique_ptr<Tranche>> tranches;
std::vector<std::thread> ouvriers;
std::vector<std::unique_ptr<char[]>> libres;  // buffers of kTailleBloc
int nb_fils = 0;
int parts_en_vol = 0;  // parts taken whose lines are not all read
int64_t n_en_cours = 0;
bool arret = false;
std::atomic<bool> arret_vu{false};  // read between segments, unlocked

// The N of a slice's range; none for a slice that only marks an end.
int64_t nombre_de_n(const Crible& c) {
  return c.debut <= c.fin ? c.fin - c.debut + 1 : 0;
}

bool continuer_ouvrier(int64_t) {
  return !arret_vu.load(std::memory_order_relaxed);
}

// The first task a worker may take, in the order of the slices: any share
// of primes; a part only of the first slice with parts left, once its
// primes are all noted, and while fewer than nb_fils parts are in flight,
// so that the part the main thread waits for is always taken first.
bool trouver(Tache& tache) {
  bool parts_ouvertes = true;
  for (const auto& t : tranches) {
    if (t->partages_pris < t->partages.size()) {
      tache = {t.get(), true, t->partages_pris++};
      return true;
    }
    if (!parts_ouvertes || t->part_suivante == t->parts.size()) continue;
    parts_ouvertes = false;
    if (t->partages_finis == t->partages.size() && parts_en_vol < nb_fils) {
      ++parts_en_vol;
      tache = {t.get(), false, t->part_suivante++};
      return true;
    }
  }
  return false;
}

std::unique_ptr<char[]> prendre_tampon() {
  const std::lock_guard<std::mutex> garde(verrou);
  if (libres.empty())
    return std::make_unique_for_overwrite<char[]>(kTailleBloc);
  auto b = std::move(libres.back());
  libres.pop_back();
  return b;
}

// Works on one part: its segments in order, a block of lines for each.
void travailler(Tranche& t, Part& p, Poste& poste, TextesLigne& textes) {
  placer(poste, t.c, p.lo);
  int64_t rang = p.rang0;
  for (int64_t lo = p.lo; lo <= p.fin && continuer_ouvrier(0);) {
    const int64_t n = std::min(kSegment, p.fin - lo + 1);
    calculer_segment(poste, t.c, lo, n, t.listes);
    Bloc b;
    b.octets = prendre_tampon();
    b.taille = static_cast<size_t>(
        former_lignes(poste, t.c, lo, n, rang, textes, b.octets.get()) -
        b.octets.get());
    lo += n;
    b.dernier = lo - 1;
    b.rang = rang;
    const std::lock_guard<std::mutex> garde(verrou);
    p.blocs.push_back(std::move(b));
    rendu.notify_one();
  }
}

void ouvrier() {
  auto poste = std::make_unique<Poste>();
  TextesLigne textes;
  std::unique_lock<std::mutex> garde(verrou);
  for (;;) {
    Tache tache;
    travail.wait(garde, [&] { return arret || trouver(tache); });
    if (arret) return;
    Tranche& t = *tache.t;
    garde.unlock();
    if (tache.partage) {
      const auto [de, vers] = t.partages[tache.indice];
      noter_grands(t.c, *poste, de, vers, t.notes[tache.indice],
                   continuer_ouvrier);
    } else {
      travailler(t, t.parts[tache.indice], *poste, textes);
    }
    garde.lock();
    if (tache.partage) {
      if (++t.partages_finis == t.partages.size()) travail.notify_all();
    } else {
      t.parts[tache.indice].finie = true;
      rendu.notify_one();
    }
  }
}

// Moves the next block in order into bloc, under the lock: a slice's
// blocks part after part, then its end.
bool prendre(Bloc& bloc) {
  while (!tranches.empty()) {
    Tranche& t = *tranches.front();
    if (t.part_lue == t.parts.size()) {
      bloc = Bloc{};
      bloc.fin_de_tranche = true;
      n_en_cours -= nombre_de_n(t.c);
      tranches.pop_front();
      return true;
    }
    Part& p = t.parts[t.part_lue];
    if (!p.blocs.empty()) {
      bloc = std::move(p.blocs.front());
      p.blocs.pop_front();
      return true;
    }
    if (!p.finie) return false;
    ++t.part_lue;
    --parts_en_vol;
    travail.notify_all();
  }
  return false;
}

}  // namespace

int fils_voulus() {
  if (const char* v = std::getenv("KELVARO_FILS"); v != nullptr && *v != 0) {
    char* fin = nullptr;
    const long n = std::strtol(v, &fin, 10);
    if (*fin == 0 && n >= 1 && n <= 1024) return static_cast<int>(n);
  }
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) != 0) return 1;
  return std::max(1, CPU_COUNT(&cpus));
}

// The workers inherit the signal mask of the thread that starts them: every
// signal is blocked meanwhile, so that the handlers run on the main thread.
void equipe_debut(int fils) {
  nb_fils = fils;
  arret = false;
  arret_vu = false;
  parts_en_vol = 0;
  n_en_cours = 0;
  sigset_t tous, avant;
  sigfillset(&tous);
  pthread_sigmask(SIG_BLOCK, &tous, &avant);
  for (int u = 0; u < fils; ++u) ouvriers.emplace_back(ouvrier);
  pthread_sigmask(SIG_SETMASK, &avant, nullptr);
}

// The streamed primes are shared out in eight times as many shares as
// threads, of equal width: the slice's lines wait for the last share, and
// no thread is left long with a share when the others are done.
void equipe_confier(const Crible& c, int64_t rang0) {
  auto t = std::make_unique<Tranche>();
  t->c = c;
  if (c.debut <= c.fin) {
    if (c.grands) {
      const int64_t parts_k = 8 * static_cast<int64_t>(nb_fils);
      for (int64_t u = 0; u < parts_k; ++u)
        t->partages.emplace_back(
            c.apres + (c.jusqua - c.apres) * u / parts_k,
            c.apres + (c.jusqua - c.apres) * (u + 1) / parts_k);
      t->notes.resize(t->partages.size());
      for (const Notes& n : t->notes) t->listes.push_back(&n);
    }
    // c.fin may be 2^63 - 2: no N past it is formed.
    for (int64_t lo = c.debut, fin = 0; fin < c.fin; lo = fin + 1) {
      fin = c.fin - lo < kPart ? c.fin : lo + kPart - 1;
      Part p;
      p.lo = lo;
      p.fin = fin;
      p.rang0 = rang0 + lignes_entre(c.debut, lo - 1, c.paires);
      t->parts.push_back(std::move(p));
    }
  }
  const std::lock_guard<std::mutex> garde(verrou);
  n_en_cours += nombre_de_n(c);
  tranches.push_back(std::move(t));
  travail.notify_all();
}

int64_t equipe_en_cours() {
  const std::lock_guard<std::mutex> garde(verrou);
  return n_en_cours;
}

bool equipe_recevoir(Bloc& bloc, int attente_ms) {
  std::unique_lock<std::mutex> garde(verrou);
  return rendu.wait_for(garde, std::chrono::milliseconds(attente_ms),
                        [&] { return prendre(bloc); });
}

void equipe_rendre(Bloc& bloc) {
  if (!bloc.octets) return;
  const std::lock_guard<std::mutex> garde(verrou);
  libres.push_back(std::move(bloc.octets));
}

void equipe_fin() {
  {
    const std::lock_guard<std::mutex> garde(verrou);
    arret = true;
    arret_vu = true;
    travail.notify_all();
  }
  for (auto& o : ouvriers) o.join();
  ouvriers.clear();
  tranches.clear();
  libres.clear();
}
