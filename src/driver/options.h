// The command line: --help and --version answered without the dialogue, any
// other argument refused, no argument leaving the program as it is.
#pragma once

// Exit status for an argument the program does not take (as sysexits'
// EX_USAGE).
constexpr int kStatutUsage = 64;

// Answers the arguments: returns -1 when there are none, so that the
// dialogue starts; else the status to end with, having written the usage
// text or the version (standard output) or the refusal (standard error).
int lire_options(int argc, const char* const* argv);
