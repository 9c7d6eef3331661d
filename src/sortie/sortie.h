// Standard output of the program. Text and decimal numbers are gathered in
// one large buffer that is written out when it fills, before every read from
// standard input, every 100 ms of a listing and at the end; a write that
// fails ends the process with 3, after a line on standard error.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Tests point this at a string to collect the output instead of writing it.
extern std::string* sortie_capture;

// Free part of the output buffer: [sortie_pos, sortie_fin).
extern char* sortie_pos;
extern char* sortie_fin;

// Set while a status line may stand below the lines on the terminal of
// standard output: vider hands it the buffer's bytes instead of writing
// them. It writes a first part of them (all, or up to their last newline)
// with the status line kept below, and returns how many it wrote; the rest
// stays in the buffer for the next write. Not called when the buffer is
// empty or the output captured.
extern size_t (*vers_le_terminal)(const char* octets, size_t n);

// Writes out what the buffer holds (while vers_le_terminal is set, the end
// of a line may stay). A failed write (closed descriptor, full disk, reader
// gone with SIGPIPE ignored) ends the process with status 3.
void vider();

// Writes n bytes to descriptor 1 at once, past the buffer; a failure ends
// the process with status 3, as in vider.
void envoyer(const char* octets, size_t n);

// Set while a listing has changed the terminal: called before the process
// ends on a failure, to put the terminal back first.
extern void (*avant_echec)();

// Ends the process with `statut` after one line on standard error: the
// program's name, `quoi`, and the system's reason for the error `erreur`.
[[noreturn]] void echouer(const char* quoi, int erreur, int statut);

// Called by terminer with the status once the output is flushed; null in the
// program. The fuzz harnesses set it to leave a session by longjmp instead
// of ending the process; should it return, the process ends all the same.
extern void (*fin_detournee)(int statut);

// Flushes the output and ends the process with the given status.
[[noreturn]] void terminer(int statut);

// Appends n bytes of text; a large text is written out at once from where
// it is, with no copy.
void ecrire_sur_place(const char* texte, size_t n);

// Appends n bytes of text.
void ecrire_long(const char* texte, size_t n);
inline void ecrire(const char* texte, size_t n) {
  if (n <= static_cast<size_t>(sortie_fin - sortie_pos)) {
    std::memcpy(sortie_pos, texte, n);
    sortie_pos += n;
  } else {
    ecrire_long(texte, n);
  }
}
inline void ecrire(const char* texte) { ecrire(texte, std::strlen(texte)); }

// Room for n more bytes (n at most the buffer's size): writes the buffer out
// first when fewer are free, and returns where to put them. The caller moves
// sortie_pos past what it wrote.
inline char* place(size_t n) {
  if (n > static_cast<size_t>(sortie_fin - sortie_pos)) vider();
  return sortie_pos;
}
