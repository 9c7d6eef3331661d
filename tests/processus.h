// Runs the built program as a separate process, standard input from a pipe
// (or a file), and collects every byte of its standard output.
#pragma once

#include <string>

struct Execution {
  std::string sortie;
  int statut = -1;      // exit status, or -1 when killed by a signal
  int signal = 0;       // the signal that ended it, if any
  bool a_temps = true;  // false when it had to be killed after the delay
};

// Feeds `entree` through a pipe (closed once written) and waits at most
// `secondes` for the program to end.
Execution executer(const std::string& entree, int secondes = 60);

// Same, with standard input redirected from a regular file holding `entree`.
Execution executer_fichier(const std::string& entree, int secondes = 60);
