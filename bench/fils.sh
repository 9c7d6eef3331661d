#!/usr/bin/env bash
# What a listing costs on 1 to 64 threads ("fils"), on this machine whatever
# its cores: wall time, CPU time (user and system) and peak resident memory
# of each KELVARO_FILS, from /usr/bin/time; the runs of one listing take
# turns, thread count after thread count, so that the load of a shared
# machine falls on all of them, and each figure is the median of the rounds.
# The CPU time on n threads against one's is the work the threads add; the
# peak, what is in flight between them and the writer.
#
#   bench/fils.sh [--tours N] [program] [min max parity]
#       (3 rounds, build/bench/kelvaro, 4 * 10^6 N from 10^18 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
tours=3
if [ "${1:-}" = "--tours" ]; then
  tours=$2
  shift 2
fi
K=${1:-build/bench/kelvaro}
reponses="${2:-1000000000000000000} ${3:-1000000000003999999} ${4:-0} 0"
fils=(1 2 4 8 16 64)
[ -x /usr/bin/time ] || {
  echo "/usr/bin/time is needed: apt-get install time" >&2
  exit 2
}

mesures=$(mktemp)
trap 'rm -f "$mesures"' EXIT
for ((t = 0; t < tours; ++t)); do
  for f in "${fils[@]}"; do
    # Elapsed s, user s, system s, peak KiB.
    /usr/bin/time -f "$f %e %U %S %M" -a -o "$mesures" \
      sh -c "printf '%s\n' '$reponses' | KELVARO_FILS=$f '$K' >/dev/null" ||
      true
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "listing: $reponses; medians of $tours rounds"
printf '%-6s %8s %8s %10s %9s\n' fils wall_s cpu_s cpu_vs_1 peak_MiB
cpu1=""
for f in "${fils[@]}"; do
  lignes=$(awk -v f="$f" '$1 == f' "$mesures")
  mur=$(awk '{ print $2 }' <<<"$lignes" | median)
  cpu=$(awk '{ printf "%.2f\n", $3 + $4 }' <<<"$lignes" | median)
  pic=$(awk '{ print $5 }' <<<"$lignes" | median)
  [ -n "$cpu1" ] || cpu1=$cpu
  printf '%-6s %8s %8s %10s %9d\n' "$f" "$mur" "$cpu" \
    "$(awk -v a="$cpu" -v b="$cpu1" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')" \
    $((pic / 1024))
done
