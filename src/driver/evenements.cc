// The events of a listing, as the walk over N meets them: the ticks, Ctrl-C,
// a resume after a stop and a new size of the terminal.

#include "driver/evenements.h"

#include <unistd.h>

#include "sortie/sortie.h"
#include "state/state.h"
#include "terminal/horloge.h"
#include "terminal/signaux.h"
#include "terminal/statut.h"

namespace {

bool arme = false;  // the ticks run (the output is not captured)

}  // namespace

// Writes arme and the hooks that put the terminal back.
void debut_liste(int64_t premier, int64_t dernier) {
  evenement = 0;
  interruption = 0;
  arme = sortie_capture == nullptr;
  if (!arme) return;
  const bool entree_terminal = isatty(0) == 1;
  const bool ctrl_c = entree_terminal && !signal_ignore(SIGINT);
  const bool statut = statut_debut(premier, dernier, ctrl_c);
  effacer_en_urgence = statut ? statut_effacer_en_urgence : nullptr;
  avant_echec = remettre_terminal;
  if (entree_terminal || statut) prendre_terminal(ctrl_c, entree_terminal);
  armer_tic();
}

// Reads and clears the flags of the handlers.
bool faire_le_point() {
  evenement = 0;
  if (interruption != 0) return false;
  if (reprise != 0) {
    reprise = 0;
    reprendre_terminal();
    statut_reprise(maintenant(), arret_ctrl_z != 0);
    arret_ctrl_z = 0;
  }
  if (redimension != 0) {
    redimension = 0;
    statut_redimension();
  }
  if (tic == 0) return true;
  tic = 0;
  // The text first, so that the lines written now carry it below them;
  // drawn alone when there were none. After Ctrl-Z during that write, then
  // fg, the line waits for the next call, which sets NOFLSH again first.
  statut_point(maintenant(), N);
  vider();
  statut_montrer();
  return true;
}

bool continuer_la_liste(int64_t atteint) {
  if (evenement == 0) return true;
  N = atteint;
  return faire_le_point();
}

// Stops the ticks first, so that nothing is drawn after the erasing; the
// line is erased before the last bytes, which may end in the last column.
void fin_liste() {
  if (!arme) return;
  arme = false;
  desarmer_tic();
  statut_fin();
  vider();
  rendre_terminal();
  effacer_en_urgence = nullptr;
  avant_echec = nullptr;
}
