// Standard input as a stream buffer over descriptor 0. Unlike the buffer
// behind std::cin it keeps what it has read ahead when a seek fails (at a
// terminal or a pipe), and drops it only when a seek really moves. A read
// error other than the end of input ends the process with status 4, after
// "\n" on standard output and a line on standard error.
#pragma once

#include <streambuf>

class EntreeStandard : public std::streambuf {
 protected:
  int_type underflow() override;
  pos_type seekoff(off_type decalage, std::ios_base::seekdir depuis,
                   std::ios_base::openmode mode) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode mode) override;

 private:
  char tampon_[4096];
};
