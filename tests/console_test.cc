// The output buffer and its decimal writer.

#include "console.h"

namespace {

using Sortie = ConsoleTest;

TEST_F(Sortie, NumbersInPlainDecimal) {
  ecrire_nombre(int64_t{0});
  ecrire(" ");
  ecrire_nombre(int64_t{-1});
  ecrire(" ");
  ecrire_nombre(INT64_MIN);
  ecrire(" ");
  ecrire_nombre(INT64_MAX);
  ecrire(" ");
  ecrire_nombre(~u128{0});
  EXPECT_EQ(lu(),
            "0 -1 -9223372036854775808 9223372036854775807 "
            "340282366920938463463374607431768211455");
}

TEST_F(Sortie, TextLongerThanTheBufferArrivesWhole) {
  std::string long_texte(200000, 'x');
  long_texte[123456] = 'y';
  ecrire("a");
  ecrire(long_texte.data(), long_texte.size());
  EXPECT_EQ(lu(), "a" + long_texte);
}

}  // namespace
