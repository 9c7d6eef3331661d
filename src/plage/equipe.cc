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

// A worker formats a segment's lines a packet at a time, each into one of
// its own kTampons buffers, which it takes again once the main thread has
// written them. So the lines in flight are bounded whatever the reader's
// pace, and the buffers' pages stay the same for the whole listing, warm.
constexpr size_t kTailleBloc = static_cast<size_t>(kPaquet * kLigneMax);
constexpr size_t kTampons = 3;

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

// A worker's buffers of kTailleBloc: those free, and how many it has made.
struct Tampons {
  std::vector<std::unique_ptr<char[]>> libres;
  size_t faits = 0;
  std::condition_variable rendu;  // one of its buffers came back
};

std::mutex verrou;
std::condition_variable travail;  // workers wait on it
std::condition_variable rendu;    // the main thread waits on it
std::deque<std::unique_ptr<Tranche>> tranches;
std::vector<std::thread> ouvriers;
std::vector<std::unique_ptr<Tampons>> tampons;  // one per worker
int nb_fils = 0;
int nb_cpus = 1;  // the CPUs this process may run on
int parts_en_vol = 0;  // parts taken whose lines are not all read
int64_t n_en_cours = 0;
bool arret = false;
std::atomic<bool> arret_vu{false};  // read between segments, unlocked

// The N of a slice's range; none for a slice that only marks an end.
int64_t nombre_de_n(const Crible& c) {
  return c.debut <= c.fin ? c.fin - c.debut + 1 : 0;
}

// The segments of a part of c: enough that placing the sieving primes at
// its start (a division each, 2^18 of them about the work of a segment)
// costs little beside them, and few enough that each thread has about four
// parts of the slice, so that all of them work to the end of a short
// listing. 64 at most.
int64_t segments_par_part(const Crible& c) {
  const int64_t segments = (nombre_de_n(c) + kSegment - 1) / kSegment;
  const int64_t placement = static_cast<int64_t>(c.fin_premiers >> 18) + 1;
  const int64_t par_fil = (segments + 4 * nb_fils - 1) / (4 * nb_fils);
  return std::clamp(std::max(placement, par_fil), int64_t{1}, int64_t{64});
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

// One of worker w's buffers: a free one, a new one while it has made fewer
// than kTampons, else the next the main thread gives back. Null once the
// team stops.
std::unique_ptr<char[]> prendre_tampon(int w) {
  std::unique_lock<std::mutex> garde(verrou);
  Tampons& a = *tampons[static_cast<size_t>(w)];
  a.rendu.wait(garde, [&] {
    return arret || !a.libres.empty() || a.faits < kTampons;
  });
  if (arret) return nullptr;
  if (a.libres.empty()) {
    ++a.faits;
    return std::make_unique_for_overwrite<char[]>(kTailleBloc);
  }
  auto b = std::move(a.libres.back());
  a.libres.pop_back();
  return b;
}

// Worker w works on one part: its segments in order, their lines a packet
// at a time, each in one of its buffers.
void travailler(Tranche& t, Part& p, Poste& poste, TextesLigne& textes, int w) {
  int64_t rang = p.rang0;
  parcourir_segments(
      poste, t.c, p.lo, p.fin, t.listes, [&](int64_t lo, int64_t n) {
        for (int64_t de = 0; de < n; de += kPaquet) {
          const int64_t a = std::min(n, de + kPaquet);
          Bloc b;
          b.ouvrier = w;
          b.octets = prendre_tampon(w);
          if (!b.octets) return false;
          b.taille = static_cast<size_t>(
              former_lignes(poste, t.c, lo, de, a, rang, textes,
                            b.octets.get()) -
              b.octets.get());
          b.dernier = lo + a - 1;
          b.rang = rang;
          const std::lock_guard<std::mutex> garde(verrou);
          p.blocs.push_back(std::move(b));
          rendu.notify_one();
        }
        return continuer_ouvrier(0);
      });
}

// Its working arrays are not cleared: every segment writes what it reads.
void ouvrier(int w) {
  auto poste = std::make_unique_for_overwrite<Poste>();
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
      travailler(t, t.parts[tache.indice], *poste, textes, w);
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

int processeurs() {
  cpu_set_t cpus;
  if (sched_getaffinity(0, sizeof cpus, &cpus) != 0) return 1;
  return std::max(1, CPU_COUNT(&cpus));
}

int fils_voulus() {
  if (const char* v = std::getenv("KELVARO_FILS"); v != nullptr && *v != 0) {
    char* fin = nullptr;
    const long n = std::strtol(v, &fin, 10);
    if (*fin == 0 && n >= 1 && n <= 1024) return static_cast<int>(n);
  }
  return processeurs();
}

// The workers inherit the signal mask of the thread that starts them: every
// signal is blocked meanwhile, so that the handlers run on the main thread.
void equipe_debut(int fils) {
  nb_fils = fils;
  nb_cpus = processeurs();
  arret = false;
  arret_vu = false;
  parts_en_vol = 0;
  n_en_cours = 0;
  for (int u = 0; u < fils; ++u) tampons.push_back(std::make_unique<Tampons>());
  sigset_t tous, avant;
  sigfillset(&tous);
  pthread_sigmask(SIG_BLOCK, &tous, &avant);
  for (int u = 0; u < fils; ++u) ouvriers.emplace_back(ouvrier, u);
  pthread_sigmask(SIG_SETMASK, &avant, nullptr);
}

// The streamed primes are shared out in eight times as many shares as
// threads that run at once (no more than the CPUs), of equal width: the
// slice's lines wait for the last share, and no thread is left long with a
// share when the others are done. Each share costs the start of a stream
// and a list of notes per segment, which more threads than CPUs would only
// multiply.
void equipe_confier(const Crible& c, int64_t rang0) {
  auto t = std::make_unique<Tranche>();
  t->c = c;
  if (c.debut <= c.fin) {
    if (c.grands) {
      const int64_t parts_k = 8 * static_cast<int64_t>(std::min(nb_fils, nb_cpus));
      for (int64_t u = 0; u < parts_k; ++u)
        t->partages.emplace_back(
            c.apres + (c.jusqua - c.apres) * u / parts_k,
            c.apres + (c.jusqua - c.apres) * (u + 1) / parts_k);
      t->notes.resize(t->partages.size());
      for (const Notes& n : t->notes) t->listes.push_back(&n);
    }
    // c.fin may be 2^63 - 2: no N past it is formed.
    const int64_t part = segments_par_part(c) * kSegment;
    for (int64_t lo = c.debut, fin = 0; fin < c.fin; lo = fin + 1) {
      fin = c.fin - lo < part ? c.fin : lo + part - 1;
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
  Tampons& a = *tampons[static_cast<size_t>(bloc.ouvrier)];
  a.libres.push_back(std::move(bloc.octets));
  a.rendu.notify_one();
}

void equipe_fin() {
  {
    const std::lock_guard<std::mutex> garde(verrou);
    arret = true;
    arret_vu = true;
    travail.notify_all();
    for (const auto& a : tampons) a->rendu.notify_all();
  }
  for (auto& o : ouvriers) o.join();
  ouvriers.clear();
  tranches.clear();
  tampons.clear();
}
