#!/usr/bin/env bash
# How busy each thread of a listing is, and what that says of more cores.
# Runs the listing under `perf record` (a sample every 0.1 ms of each
# thread's CPU time), then counts the samples: the main thread's outside the
# team's time (the dialogue, the first slice, the listing's end: serial),
# the main thread's within it (writing the lines), and the workers'. With n
# cores the listing takes about serial + max(writing, workers / n), the
# workers' share cut n ways while the main thread writes beside them; the
# table gives that for 4 to 64 cores against the measured time on one
# thread.
#
#   bench/occupation.sh [program] [threads]
#       (build/bench/kelvaro and 2 by default; perf is needed)
set -euo pipefail
cd "$(dirname "$0")/.."
K=${1:-build/bench/kelvaro}
F=${2:-2}
command -v perf >/dev/null || {
  echo "perf is needed: apt-get install linux-perf" >&2
  exit 2
}

scenarios=(
  "S1 1 10000000 0"
  "S8 1000000000000000 1000000001000000 0"
  "S9 1000000000000000000 1000000000000999999 0"
  "S10 9223372036853775808 9223372036854775807 2"
)
donnees=$(mktemp)
trap 'rm -f "$donnees"' EXIT

# Wall time in ms of one run.
duree() {
  local debut
  debut=$(date +%s%N)
  printf '%s %s %s 0\n' "$2" "$3" "$4" | KELVARO_FILS=$1 "$K" >/dev/null || true
  echo $(( ($(date +%s%N) - debut) / 1000000 ))
}

printf '%-4s %7s %7s %7s %7s %7s %7s | %6s %6s %6s %6s\n' scen un_fil \
  serie ecrit ouvr "x$F" "fils" 4 8 16 64
for sc in "${scenarios[@]}"; do
  read -r nom a b p <<<"$sc"
  un=$(duree 1 "$a" "$b" "$p")
  printf '%s %s %s 0\n' "$a" "$b" "$p" |
    KELVARO_FILS=$F perf record -q -e task-clock -c 100000 -o "$donnees" \
      "$K" >/dev/null 2>&1 || true
  # Each sample: "pid/tid time:".
  perf script -i "$donnees" -F pid,tid,time 2>/dev/null | awk -v un="$un" \
    -v nom="$nom" -v f="$F" '
    { split($1, ids, "/"); pid = ids[1]; tid = ids[2]; t = $2
      sub(/:$/, "", t)
      if (tid != pid) { if (!(debut > 0) || t < debut) debut = t
                        if (t > fin) fin = t; ouvriers++ }
      else temps[++n] = t }
    END {
      for (i = 1; i <= n; i++)
        if (ouvriers > 0 && temps[i] >= debut && temps[i] <= fin) ecrit++
        else serie++
      # samples of 0.1 ms
      s = serie / 10; e = ecrit / 10; o = ouvriers / 10
      printf "%-4s %7d %7.0f %7.0f %7.0f", nom, un, s, e, o
      printf " %7.0f %7s |", s + (e > o / f ? e : o / f), f
      split("4 8 16 64", cores, " ")
      for (c = 1; c <= 4; c++) {
        w = s + (e > o / cores[c] ? e : o / cores[c])
        printf " %6.1f", un / w
      }
      printf "\n"
    }'
done
echo "ms: un_fil, the wall time on one thread; serie, ecrit, ouvr: the CPU of"
echo "the main thread outside the team and within it, and of the workers, on"
echo "$F threads; x$F: serie + max(ecrit, ouvr / $F), the model on $F cores;"
echo "4 to 64: un_fil over the model's time on that many cores."
