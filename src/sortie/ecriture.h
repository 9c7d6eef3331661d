// Writing every byte of a text to a descriptor, whatever the system takes
// at a time and whatever signal interrupts it.
#pragma once

#include <cstddef>

// Writes the n bytes from p to descriptor fd, retrying after a signal and
// after a partial write, and waiting for room on a non-blocking descriptor.
// Returns 0, or the reason of the failure (ENOSPC when the system writes
// nothing and says no error).
int ecrire_tout(int fd, const char* p, size_t n);
