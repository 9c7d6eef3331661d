// The input reader: which tokens each mode accepts and what it writes.

#include "input/controle.h"

#include <utility>
#include <vector>

#include "console.h"

namespace {

using Lecteur = ConsoleTest;
using std::string;

const string kNul(1, '\0');

// Each token is followed by " 1", which every mode accepts: a refused token
// costs one more prompt and leaves 1.
TEST_F(Lecteur, AcceptsExactlyTheTokensOfEachMode) {
  const struct {
    int32_t mode, xn;
    std::vector<std::pair<string, int64_t>> acceptes;
    std::vector<string> refuses;
  } lignes[] = {
      {kEntier,
       1,
       {{"7", 7},
        {"+7", 7},
        {"+50", 50},
        {"105", 105},
        {"9223372036854775807", INT64_MAX},
        {" \t\r\n\v\f12\n", 12},
        {"12" + kNul + string(300, 'x'), 12}},
       {"0", "00", "05", "007", "-5", "+", "+0", "+05", "5+", "1-2", "abc",
        "1a", "9223372036854775808", string(19, '9'), string(20, '9'),
        string(10000, '9'), kNul + "5", "1" + string(198, '0'),
        "1" + string(199, '0')}},
      {kEntier, 0, {{"0", 0}}, {}},
      {kOuiNon, 1, {{"1", 1}, {"0", 0}}, {"2", "01", "10", "x", "+1"}},
      {kTroisChoix,
       1,
       {{"0", 0}, {"1", 1}, {"2", 2}, {"2" + kNul + "9", 2}},
       {"3", "22", "+"}}};
  auto lire = [this](int32_t mode, const string& jeton) {
    fournir(jeton + " 1");
    valeur0 = valeur2 = 99;
    EXPECT_EQ(controle(mode, "? "), 0);
    return std::pair(mode == kEntier ? valeur0 : valeur2, lu());
  };
  for (const auto& l : lignes) {
    xn = l.xn;
    for (const auto& [jeton, valeur] : l.acceptes)
      EXPECT_EQ(lire(l.mode, jeton), std::pair(valeur, string("? "))) << jeton;
    for (const string& jeton : l.refuses)
      EXPECT_EQ(lire(l.mode, jeton), std::pair(int64_t{1}, string("? ? ")))
          << jeton.substr(0, 40);
  }
}

}  // namespace
