// The workers of a long listing and what they share with the main thread:
// the slices handed over, in order, each with its shares of streamed primes
// and its parts, and the packets of lines the parts hand back, taken in
// order by the main thread. All of it is one struct under one lock.

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

#include "commun/verifier.h"
#include "plage/carres.h"
#include "premiers/cribleurs.h"
#include "sortie/ligne.h"

namespace {

// A worker formats a segment's lines a packet at a time, each into one of
// its own kTampons buffers, which it takes again once the main thread has
// written them. So the lines in flight are bounded whatever the reader's
// pace, and the buffers' pages stay the same for the whole listing, warm.
constexpr size_t kTailleTampon = static_cast<size_t>(kPaquet * kLigneMax);
constexpr size_t kTampons = 3;

// Where a share of primes or a part of a slice stands: waiting for a
// worker, taken by one, done.
enum class Etape : uint8_t { kAttend, kPrise, kFaite };

// A share (bas, haut] of a slice's streamed primes. The worker that takes it
// notes their multiples in `notes` without the lock; the parts read them
// only once every share of the slice is done, which the lock orders after.
struct Partage {
  int64_t bas = 0, haut = 0;
  Etape etape = Etape::kAttend;
  Notes notes;
};

// A part of a slice: its N, the index of the line before its first, and
// its packets of lines until the main thread takes them.
struct Part {
  int64_t lo = 0, fin = 0, rang0 = 0;
  Etape etape = Etape::kAttend;
  std::deque<Paquet> paquets;
};

// A slice handed over. Its sieve, shares' bounds, lists of notes and parts'
// bounds are fixed before it is; the rest changes under the lock. It leaves
// the team once every part is read, every share being done before.
struct Tranche {
  Crible c;
  std::vector<Partage> partages;
  std::vector<const Notes*> listes;  // the shares' notes
  size_t partages_pris = 0, partages_faits = 0;
  std::deque<Part> parts;
  size_t parts_prises = 0;  // parts taken so far, in order
  size_t part_lue = 0;      // the part the main thread reads
};

// A worker's buffers of kTailleTampon: those free, and how many it made.
struct Tampons {
  std::vector<std::unique_ptr<char[]>> libres;
  size_t faits = 0;
  std::condition_variable rendu;  // one of its buffers came back
};

// What a worker took: a share of a slice's primes, or one of its parts.
struct Tache {
  Tranche* t = nullptr;
  Partage* partage = nullptr;
  Part* part = nullptr;
};

// Everything the workers and the main thread share, and who writes it.
struct Equipe {
  std::mutex verrou;
  std::condition_variable travail;  // to the workers: a task, or the stop
  std::condition_variable rendu;    // to the main thread: lines, a part done
  // Under the lock. The slices: appended by the main thread
  // (equipe_confier), taken from the front by it once read (prendre).
  std::deque<std::unique_ptr<Tranche>> tranches;
  // Under the lock. Parts taken whose lines are not all read: a worker
  // adds one as it takes a part, the main thread takes it off once read.
  int parts_en_vol = 0;
  // Under the lock, the main thread's: N handed over, not all read back.
  int64_t n_en_cours = 0;
  // Under the lock, the main thread's, at the end; arret_vu is set with it
  // and read by the workers between segments, without the lock.
  bool arret = false;
  std::atomic<bool> arret_vu{false};
  // Written by equipe_debut before the workers start, then fixed.
  int nb_fils = 0;
  int nb_cpus = 1;                                // the CPUs to run on
  std::vector<std::unique_ptr<Tampons>> tampons;  // one per worker
  std::vector<std::thread> ouvriers;              // the main thread's
};
Equipe equipe;

int64_t nombre_de_n(const Crible& c) { return c.fin - c.debut + 1; }

bool continuer_ouvrier(int64_t) {
  return !equipe.arret_vu.load(std::memory_order_relaxed);
}

// Under the lock: the first task a worker may take, in the order of the
// slices: any share of primes; a part only of the first slice with parts
// left, once its primes are all noted, and while fewer than nb_fils parts
// are in flight, so that the part the main thread waits for is always
// taken first. Marks it taken.
bool trouver(Tache& tache) {
  bool parts_ouvertes = true;  // no slice before has parts left
  for (const auto& t : equipe.tranches) {
    if (t->partages_pris < t->partages.size()) {
      Partage& p = t->partages[t->partages_pris++];
      VERIFIER(p.etape == Etape::kAttend);
      p.etape = Etape::kPrise;
      tache = {t.get(), &p, nullptr};
      return true;
    }
    if (!parts_ouvertes || t->parts_prises == t->parts.size()) continue;
    parts_ouvertes = false;
    if (t->partages_faits < t->partages.size() ||
        equipe.parts_en_vol >= equipe.nb_fils)
      continue;
    Part& p = t->parts[t->parts_prises++];
    VERIFIER(p.etape == Etape::kAttend);
    p.etape = Etape::kPrise;
    ++equipe.parts_en_vol;
    tache = {t.get(), nullptr, &p};
    return true;
  }
  return false;
}

// One of worker w's buffers: a free one, a new one while it has made fewer
// than kTampons, else the next the main thread gives back. Null once the
// team stops.
std::unique_ptr<char[]> prendre_tampon(int w) {
  std::unique_lock<std::mutex> garde(equipe.verrou);
  Tampons& siens = *equipe.tampons[static_cast<size_t>(w)];
  while (!equipe.arret && siens.libres.empty() && siens.faits == kTampons)
    siens.rendu.wait(garde);
  if (equipe.arret) return nullptr;
  if (siens.libres.empty()) {
    ++siens.faits;
    return std::make_unique_for_overwrite<char[]>(kTailleTampon);
  }
  auto b = std::move(siens.libres.back());
  siens.libres.pop_back();
  return b;
}

// Worker w works on one part: its segments in order, their lines a packet
// at a time, each in one of its buffers.
void travailler(Tranche& t, Part& p, Poste& poste, TextesLigne& textes, int w) {
  int64_t rang = p.rang0;
  parcourir_segments(
      poste, t.c, p.lo, p.fin, t.listes, [&](int64_t lo, int64_t n) {
        for (int64_t de = 0; de < n; de += kPaquet) {
          const int64_t vers = std::min(n, de + kPaquet);
          Paquet paquet;
          paquet.ouvrier = w;
          paquet.octets = prendre_tampon(w);
          if (!paquet.octets) return false;
          paquet.taille =
              static_cast<size_t>(former_lignes(poste, t.c, lo, de, vers, rang,
                                                textes, paquet.octets.get()) -
                                  paquet.octets.get());
          paquet.dernier = lo + vers - 1;
          paquet.rang = rang;
          const std::lock_guard<std::mutex> garde(equipe.verrou);
          p.paquets.push_back(std::move(paquet));
          equipe.rendu.notify_one();
        }
        return continuer_ouvrier(0);
      });
}

// Its working arrays are not cleared: every segment writes what it reads.
void ouvrier(int w) {
  auto poste = std::make_unique_for_overwrite<Poste>();
  TextesLigne textes;
  std::unique_lock<std::mutex> garde(equipe.verrou);
  for (;;) {
    Tache tache;
    while (!equipe.arret && !trouver(tache)) equipe.travail.wait(garde);
    if (equipe.arret) return;
    Tranche& t = *tache.t;
    garde.unlock();
    if (tache.partage != nullptr)
      noter_grands(t.c, *poste, tache.partage->bas, tache.partage->haut,
                   tache.partage->notes, continuer_ouvrier);
    else
      travailler(t, *tache.part, *poste, textes, w);
    garde.lock();
    if (tache.partage != nullptr) {
      tache.partage->etape = Etape::kFaite;
      if (++t.partages_faits == t.partages.size()) equipe.travail.notify_all();
    } else {
      tache.part->etape = Etape::kFaite;
      equipe.rendu.notify_one();
    }
  }
}

// Under the lock: moves the next packet in order into paquet, a slice's
// part after part, then its end. False when it is not there yet.
bool prendre(Paquet& paquet) {
  while (!equipe.tranches.empty()) {
    Tranche& t = *equipe.tranches.front();
    if (t.part_lue == t.parts.size()) {
      VERIFIER(t.partages_faits == t.partages.size());
      paquet = Paquet{};
      paquet.fin_de_tranche = true;
      equipe.n_en_cours -= nombre_de_n(t.c);
      equipe.tranches.pop_front();
      return true;
    }
    Part& p = t.parts[t.part_lue];
    if (!p.paquets.empty()) {
      VERIFIER(p.etape != Etape::kAttend);
      paquet = std::move(p.paquets.front());
      p.paquets.pop_front();
      return true;
    }
    if (p.etape != Etape::kFaite) return false;
    ++t.part_lue;
    --equipe.parts_en_vol;
    equipe.travail.notify_all();
  }
  return false;
}

}  // namespace

// Enough that placing the sieving primes at a part's start (a division
// each, 2^18 of them about the work of a segment) costs little beside its
// segments, and few enough that each thread has about four parts of the
// slice, so that all of them work to the end of a short listing.
int64_t segments_par_part(const Crible& c, int fils) {
  const int64_t segments = (nombre_de_n(c) + kSegment - 1) / kSegment;
  const int64_t placement = static_cast<int64_t>(c.fin_premiers >> 18) + 1;
  const int64_t quatre = 4 * static_cast<int64_t>(fils);
  const int64_t par_fil = (segments + quatre - 1) / quatre;
  return std::clamp(std::max(placement, par_fil), int64_t{1}, int64_t{64});
}

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
// The table of sieving primes stays as it is until the team ends: the
// workers read it.
void equipe_debut(int fils) {
  VERIFIER(equipe.ouvriers.empty() && equipe.tranches.empty());
  equipe.nb_fils = fils;
  equipe.nb_cpus = processeurs();
  equipe.arret = false;
  equipe.arret_vu = false;
  equipe.parts_en_vol = 0;
  equipe.n_en_cours = 0;
  for (int u = 0; u < fils; ++u)
    equipe.tampons.push_back(std::make_unique<Tampons>());
  figer_cribleurs(true);
  sigset_t tous, avant;
  sigfillset(&tous);
  pthread_sigmask(SIG_BLOCK, &tous, &avant);
  for (int u = 0; u < fils; ++u) equipe.ouvriers.emplace_back(ouvrier, u);
  pthread_sigmask(SIG_SETMASK, &avant, nullptr);
}

// The streamed primes are shared out in eight times as many shares as
// threads that run at once (no more than the CPUs), of equal width: the
// slice's lines wait for the last share, and no thread is left long with a
// share when the others are done. Each share costs the start of a stream
// and a list of notes per segment, which more threads than CPUs would only
// multiply.
void equipe_confier(const Crible& c, int64_t rang0) {
  VERIFIER(c.debut <= c.fin);
  auto t = std::make_unique<Tranche>();
  t->c = c;
  if (c.grands) {
    const int64_t nb = 8 * int64_t{std::min(equipe.nb_fils, equipe.nb_cpus)};
    t->partages.resize(static_cast<size_t>(nb));
    for (int64_t u = 0; u < nb; ++u) {
      Partage& p = t->partages[static_cast<size_t>(u)];
      p.bas = c.apres + (c.jusqua - c.apres) * u / nb;
      p.haut = c.apres + (c.jusqua - c.apres) * (u + 1) / nb;
      t->listes.push_back(&p.notes);
    }
  }
  // c.fin may be 2^63 - 2: no N past it is formed.
  const int64_t part = segments_par_part(c, equipe.nb_fils) * kSegment;
  for (int64_t lo = c.debut, fin = 0; fin < c.fin; lo = fin + 1) {
    fin = c.fin - lo < part ? c.fin : lo + part - 1;
    Part& p = t->parts.emplace_back();
    p.lo = lo;
    p.fin = fin;
    p.rang0 = rang0 + lignes_entre(c.debut, lo - 1, c.paires);
  }
  const std::lock_guard<std::mutex> garde(equipe.verrou);
  equipe.n_en_cours += nombre_de_n(c);
  equipe.tranches.push_back(std::move(t));
  equipe.travail.notify_all();
}

int64_t equipe_en_cours() {
  const std::lock_guard<std::mutex> garde(equipe.verrou);
  return equipe.n_en_cours;
}

bool equipe_recevoir(Paquet& paquet, int attente_ms) {
  const auto jusqua =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(attente_ms);
  std::unique_lock<std::mutex> garde(equipe.verrou);
  while (!prendre(paquet))
    if (equipe.rendu.wait_until(garde, jusqua) == std::cv_status::timeout)
      return prendre(paquet);
  return true;
}

void equipe_rendre(Paquet& paquet) {
  if (!paquet.octets) return;
  const std::lock_guard<std::mutex> garde(equipe.verrou);
  Tampons& siens = *equipe.tampons[static_cast<size_t>(paquet.ouvrier)];
  siens.libres.push_back(std::move(paquet.octets));
  siens.rendu.notify_one();
}

void equipe_fin() {
  {
    const std::lock_guard<std::mutex> garde(equipe.verrou);
    equipe.arret = true;
    equipe.arret_vu = true;
    equipe.travail.notify_all();
    for (const auto& t : equipe.tampons) t->rendu.notify_all();
  }
  for (auto& o : equipe.ouvriers) o.join();
  equipe.ouvriers.clear();
  equipe.tranches.clear();
  equipe.tampons.clear();
  figer_cribleurs(false);
}
