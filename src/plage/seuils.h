// When a listing stops walking N after N and goes by slices of its range,
// and when its slices go to several threads: by its length in N, from the
// walk's cost per N, which grows above 2^40 (10 us at 10^18 against 0.5 at
// 10^6).
#pragma once

#include <algorithm>
#include <cstdint>

#include "commun/commutateurs.h"

// A listing ending at nmax longer than this goes by slices: seuil_plage (a
// few milliseconds of the walk's work), an eighth of it above 2^40.
inline int64_t seuil_des_tranches(int64_t nmax) {
  return nmax > int64_t{1} << 40 ? seuil_plage / 8 : seuil_plage;
}

// From this many N a listing by slices goes to several threads: 64 times
// the walk's threshold up to 2^40 (2^18 N), 16 times above (2^13 N).
// Below, starting threads and their memory cost more than they bring.
inline int64_t seuil_des_fils(int64_t nmax) {
  const int64_t fois = nmax > int64_t{1} << 40 ? 16 : 64;
  return std::min(seuil_des_tranches(nmax), INT64_MAX / fois) * fois;
}
