// The program at a pseudo-terminal: each prompt is visible before it waits,
// two answers typed on one line answer two questions, and Ctrl-D ends it.

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

#include "console.h"
#include "processus.h"

namespace {

// Reads from the terminal until `attendu` has appeared or the delay passed.
bool attendre(int maitre, std::string& vu, const std::string& attendu) {
  const auto limite =
      std::chrono::steady_clock::now() + std::chrono::seconds(20);
  char tampon[4096];
  while (vu.find(attendu) == std::string::npos) {
    if (std::chrono::steady_clock::now() > limite) return false;
    pollfd attente = {maitre, POLLIN, 0};
    if (poll(&attente, 1, 100) == 0) continue;
    ssize_t n = read(maitre, tampon, sizeof tampon);
    if (n <= 0) return false;
    vu.append(tampon, static_cast<size_t>(n));
  }
  return true;
}

// Starts the program at a new pseudo-terminal that reads line by line, as
// typed at a real one; leaves the master side in `maitre`.
pid_t demarrer(int& maitre) {
  termios modes{};
  cfmakeraw(&modes);
  modes.c_lflag |= ICANON;
  modes.c_cc[VEOF] = 4;  // Ctrl-D
  pid_t pid = forkpty(&maitre, nullptr, &modes, nullptr);
  if (pid == 0) {
    execl(KELVARO_PROGRAMME, "kelvaro", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

TEST(Terminal, PromptsShowBeforeEachWaitAndTypeAheadIsKept) {
  int maitre = -1;
  pid_t pid = demarrer(maitre);
  ASSERT_GE(pid, 0);
  std::string vu;
  ASSERT_TRUE(attendre(maitre, vu, texte::kMin));
  ASSERT_EQ(write(maitre, "5 5\n", 4), 4);
  ASSERT_TRUE(attendre(maitre, vu, texte::kParite));
  EXPECT_EQ(vu.find(texte::kMax), vu.rfind(texte::kMax));  // asked once
  ASSERT_EQ(write(maitre, "0\n", 2), 2);
  ASSERT_TRUE(attendre(maitre, vu, texte::kNouveau));
  EXPECT_NE(vu.find(texte::ligne("1", "5", "2", "6")), std::string::npos);
  ASSERT_EQ(write(maitre, "0\n", 2), 2);
  int etat = 0;
  EXPECT_TRUE(attendre_fin(pid, 20, etat));
  close(maitre);
  EXPECT_TRUE(WIFEXITED(etat));
  EXPECT_EQ(WEXITSTATUS(etat), 1);
}

// Ctrl-D on an empty line is the end of input: one newline, status 2.
TEST(Terminal, CtrlDEndsLikeTheEndOfInput) {
  const struct {
    const char* nom;
    const char* avant;  // typed before Ctrl-D
    std::string question;
  } lignes[] = {
      {"at_minimum", "", texte::kMin},
      {"at_parity", "5 5\n", texte::kParite},
      {"after_refused_token", "5 5 x\n", texte::kParite + texte::kParite}};
  for (const auto& l : lignes) {
    SCOPED_TRACE(l.nom);
    int maitre = -1;
    pid_t pid = demarrer(maitre);
    ASSERT_GE(pid, 0);
    std::string vu;
    ASSERT_TRUE(attendre(maitre, vu, texte::kMin));
    const auto n = static_cast<ssize_t>(std::strlen(l.avant));
    ASSERT_EQ(write(maitre, l.avant, static_cast<size_t>(n)), n);
    ASSERT_TRUE(attendre(maitre, vu, l.question));
    ASSERT_EQ(write(maitre, "\x04", 1), 1);
    attendre(maitre, vu, l.question + "\n");
    int etat = 0;
    EXPECT_TRUE(attendre_fin(pid, 20, etat));
    close(maitre);
    EXPECT_EQ(vu.substr(vu.size() - l.question.size() - 1), l.question + "\n");
    EXPECT_TRUE(WIFEXITED(etat));
    EXPECT_EQ(WEXITSTATUS(etat), 2);
  }
}

}  // namespace
