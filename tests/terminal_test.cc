// The program at a pseudo-terminal: each prompt is visible before it waits,
// and two answers typed on one line answer two questions.

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "console.h"

namespace {

// Reads from the terminal until `attendu` has appeared or the delay passed.
bool attendre(int maitre, std::string& vu, const std::string& attendu) {
  const auto limite =
      std::chrono::steady_clock::now() + std::chrono::seconds(20);
  char tampon[4096];
  while (vu.find(attendu) == std::string::npos) {
    if (std::chrono::steady_clock::now() > limite) return false;
    ssize_t n = read(maitre, tampon, sizeof tampon);
    if (n <= 0) return false;
    vu.append(tampon, static_cast<size_t>(n));
  }
  return true;
}

TEST(Terminal, PromptsShowBeforeEachWaitAndTypeAheadIsKept) {
  termios modes{};
  cfmakeraw(&modes);
  modes.c_lflag |= ICANON;  // line by line, as typed at a real terminal
  int maitre = -1;
  pid_t pid = forkpty(&maitre, nullptr, &modes, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(KELVARO_PROGRAMME, "kelvaro", static_cast<char*>(nullptr));
    _exit(127);
  }
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
  waitpid(pid, &etat, 0);
  close(maitre);
  EXPECT_TRUE(WIFEXITED(etat));
  EXPECT_EQ(WEXITSTATUS(etat), 1);
}

}  // namespace
