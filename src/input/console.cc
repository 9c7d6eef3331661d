// Reading and repositioning descriptor 0 for the input reader.

#include "input/console.h"

#include <unistd.h>

#include <cerrno>

EntreeStandard::int_type EntreeStandard::underflow() {
  for (;;) {
    ssize_t n = ::read(0, tampon_, sizeof tampon_);
    if (n > 0) {
      setg(tampon_, tampon_, tampon_ + n);
      return traits_type::to_int_type(tampon_[0]);
    }
    if (n < 0 && errno == EINTR) continue;
    // End of input, or an error that leaves nothing more to read.
    return traits_type::eof();
  }
}

EntreeStandard::pos_type EntreeStandard::seekoff(off_type decalage,
                                                 std::ios_base::seekdir depuis,
                                                 std::ios_base::openmode) {
  int origine = SEEK_SET;
  if (depuis == std::ios_base::end) origine = SEEK_END;
  if (depuis == std::ios_base::cur) {
    origine = SEEK_CUR;
    decalage -= egptr() - gptr();  // the descriptor is ahead of the reader
  }
  off_t position = ::lseek(0, static_cast<off_t>(decalage), origine);
  if (position < 0) return pos_type(off_type(-1));
  setg(tampon_, tampon_, tampon_);
  return pos_type(static_cast<off_type>(position));
}

EntreeStandard::pos_type EntreeStandard::seekpos(pos_type position,
                                                 std::ios_base::openmode mode) {
  return seekoff(off_type(position), std::ios_base::beg, mode);
}
