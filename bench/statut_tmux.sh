#!/usr/bin/env bash
# How a user at a terminal sees a long listing: the program runs in a tmux
# pane of 24 rows, and from 1.5 s after the answers the pane is captured
# every 100 ms for 4 s; a sample counts when the pane shows the status line
# ("N/s"). After 6 s the rows of the pane's history and screen give the
# lines that reached the terminal. Each row: program, listing, width,
# threads, samples with the line (of 40 per run), median rows after 6 s.
# The programs take turns, run after run, so that the load of a shared
# machine falls on all of them.
#
#   bench/statut_tmux.sh [--tours N] [program...]
#       N runs of each (1 by default); build/release/kelvaro by default
set -euo pipefail
cd "$(dirname "$0")/.."
command -v tmux >/dev/null || {
  echo "tmux is needed: apt-get install tmux" >&2
  exit 2
}
tours=1
if [ "${1:-}" = "--tours" ]; then
  tours=$2
  shift 2
fi
[ $# -gt 0 ] || set -- build/release/kelvaro

declare -A listes=(
  [paires_2_63]="9223372036000000000 9223372036854775807 2"
  [tout_1_1e9]="1 1000000000 0"
)
salon=""
conf=$(mktemp)
echo 'set -g history-limit 100000000' >"$conf"
trap 'tmux -L "$salon" kill-server 2>/dev/null || true; rm -f "$conf"' EXIT

# One run: prints "samples rows".
mesurer() {
  local prog=$1 reponses=$2 largeur=$3 fils=$4 vus=0
  salon="kelvaro-statut-$$-$RANDOM"
  tmux -L "$salon" -f "$conf" new-session -d -s m -x "$largeur" -y 24 \
    "KELVARO_FILS=$fils $(realpath "$prog")"
  sleep 0.3
  tmux -L "$salon" send-keys -t m "$reponses" Enter
  local debut
  debut=$(date +%s.%N)
  sleep 1.5
  for _ in $(seq 40); do
    tmux -L "$salon" capture-pane -p -t m | grep -q 'N/s' && vus=$((vus + 1))
    sleep 0.1
  done
  local reste
  reste=$(awk -v d="$debut" -v m="$(date +%s.%N)" 'BEGIN{r=6-(m-d); print (r > 0 ? r : 0)}')
  sleep "$reste"
  local rangs
  rangs=$(tmux -L "$salon" display -p -t m '#{history_size}')
  tmux -L "$salon" kill-server
  sleep 0.5
  echo "$vus $((rangs + 24))"
}

# The median of the numbers on standard input.
mediane() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

printf '%-28s %-12s %5s %5s %8s %9s\n' program listing width fils samples rows
for liste in paires_2_63 tout_1_1e9; do
  for largeur in 80 100 107 132; do
    for fils in 1 2; do
      declare -A vus_de=() rangs_de=()
      for _ in $(seq "$tours"); do
        for prog in "$@"; do
          read -r vus rangs < <(mesurer "$prog" "${listes[$liste]}" "$largeur" "$fils")
          vus_de[$prog]=$((${vus_de[$prog]:-0} + vus))
          rangs_de[$prog]+="$rangs "
        done
      done
      for prog in "$@"; do
        printf '%-28s %-12s %5s %5s %5s/%d %9s\n' "$prog" "$liste" "$largeur" \
          "$fils" "${vus_de[$prog]}" $((40 * tours)) \
          "$(tr ' ' '\n' <<<"${rangs_de[$prog]}" | grep . | mediane)"
      done
    done
  done
done
