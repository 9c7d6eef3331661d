#!/usr/bin/env bash
# Times kelvaro against the range sieve (bench/crible.cc) and PARI/GP, on the
# scenarios S1 to S11 (PARI/GP is left out of S6 and S7, where it would take
# minutes, and the sieve out of S7, which it would take hours to walk; from
# 10^18 on, S9 to S11, the sieve is left out, and PARI/GP's loops over N
# out of S9 and S10, where they would take minutes too: PARI/GP's range
# loop, forfactored, runs there and in every scenario but S6 and S7),
# answers fed through a pipe and output to /dev/null. The
# programs take turns run after run (A/B/C/D, A/B/C/D, ...) so that the load
# of a shared machine falls on all of them; the table gives median wall
# times and their ratios. Before timing, the outputs of kelvaro and of the
# sieve are compared byte for byte on S1 and S5.
#
#   bench/compare.sh [--smoke] [--reps N]
#
# --smoke: tiny ranges, one run each, no timing to judge; the PARI/GP columns
# are skipped when gp is absent. Otherwise gp is installed when absent.
set -euo pipefail
cd "$(dirname "$0")/.."

smoke=0
reps=5
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) smoke=1; reps=1 ;;
    --reps) reps="$2"; shift ;;
    *) echo "usage: $0 [--smoke] [--reps N]" >&2; exit 2 ;;
  esac
  shift
done

cmake --preset bench >/dev/null
cmake --build --preset bench -j 2 >/dev/null
K=build/bench/kelvaro
C=build/bench/bench/crible

if ! command -v gp >/dev/null; then
  if [ "$smoke" = 1 ]; then
    echo "gp is absent: the PARI/GP columns are skipped"
  else
    apt-get update >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
      pari-gp >/dev/null
  fi
fi
gp_present=0
command -v gp >/dev/null && gp_present=1

# name, minimum, maximum, parity
if [ "$smoke" = 1 ]; then
  scenarios=(
    "S1 1 30000 0"
    "S2 1000000000000 1000000000200 0"
    "S3 9007199254740892 9007199254740992 0"
    "S4 9007199254740993 9007199254740995 0"
    "S5 1 30000 1"
    "S6 1 6000 1"
    "S7 1 100000 1"
    "S8 1000000000000000 1000000000001000 0"
    "S9 1000000000000000000 1000000000000002000 0"
    "S10 9223372036854773807 9223372036854775807 2"
    "S11 1000000000000000000 1000000000000000300 0"
  )
else
  scenarios=(
    "S1 1 10000000 0"
    "S2 1000000000000 1000000100000 0"
    "S3 9007199254730992 9007199254740992 0"
    "S4 1000000000000000000 1000000000000000999 0"
    "S5 1 10000000 1"
    "S6 1 100000000 1"
    "S7 1 1000000000000 1"
    "S8 1000000000000000 1000000001000000 0"
    "S9 1000000000000000000 1000000000000999999 0"
    "S10 9223372036853775808 9223372036854775807 2"
    "S11 1000000000000000000 1000000000000009999 0"
  )
fi

# The same listing in PARI/GP, printed or only computed (the count of the N
# listed is printed at the end so that nothing is left unused). Each N is
# factored once and sigma and numdiv work from its factors.
gp_script() { # min max parity print
  local garde="par==0 || (s%2==1)==(par==1)"
  local corps="c++"
  [ "$4" = 1 ] && corps='c++; printf("\n \n \t %d \t -  :  \t %d  a  %d  diviseurs  de somme  : %d . ", c, n, numdiv(f), s)'
  echo "par=$3; c=0; for(n=$1, $2, f=factor(n); s=sigma(f); d=numdiv(f); if($garde, $corps)); print(c); quit"
}

# The same count over PARI/GP's range loop, which sieves the interval and
# hands each N over with its factors.
gp_ff_script() { # min max parity
  local garde="par==0 || (s%2==1)==(par==1)"
  echo "par=$3; c=0; forfactored(v=$1, $2, s=sigma(v); d=numdiv(v); if($garde, c++)); print(c); quit"
}

run() { # program min max parity
  case "$1" in
    kelvaro) printf '%s %s %s 0\n' "$2" "$3" "$4" | "$K" >/dev/null || true ;;
    kelvaro1) printf '%s %s %s 0\n' "$2" "$3" "$4" |
      KELVARO_FILS=1 "$K" >/dev/null || true ;;
    crible) printf '%s %s %s 0\n' "$2" "$3" "$4" | "$C" >/dev/null || true ;;
    gp_print) gp_script "$2" "$3" "$4" 1 | gp -q -f >/dev/null ;;
    gp_calcul) gp_script "$2" "$3" "$4" 0 | gp -q -f >/dev/null ;;
    gp_ff) gp_ff_script "$2" "$3" "$4" | gp -q -s 2000M -f >/dev/null ;;
  esac
}

programmes=(kelvaro kelvaro1 crible)
[ "$gp_present" = 1 ] && programmes+=(gp_print gp_calcul gp_ff)

# Byte-for-byte check of the listings (whole output: dialogue and lines).
for sc in "${scenarios[0]}" "${scenarios[4]}"; do
  read -r nom a b p <<<"$sc"
  debut=$(date +%s%N)
  if cmp <(printf '%s %s %s 0\n' "$a" "$b" "$p" | "$K" || true) \
         <(printf '%s %s %s 0\n' "$a" "$b" "$p" | "$C" || true); then
    echo "$nom: kelvaro and the sieve print the same bytes for N = $a..$b" \
         "(both runs and cmp: $(( ($(date +%s%N) - debut) / 1000000 )) ms)"
  else
    echo "$nom: kelvaro and the sieve DIFFER for N = $a..$b" >&2
    exit 1
  fi
done

# On every scenario, the listing on every CPU and on one thread: the same
# bytes.
for sc in "${scenarios[@]}"; do
  read -r nom a b p <<<"$sc"
  if ! cmp -s <(printf '%s %s %s 0\n' "$a" "$b" "$p" | "$K" || true) \
      <(printf '%s %s %s 0\n' "$a" "$b" "$p" | KELVARO_FILS=1 "$K" || true); then
    echo "$nom: kelvaro on $(nproc) and on 1 thread DIFFER" >&2
    exit 1
  fi
done
echo "kelvaro on $(nproc) threads and on 1 print the same bytes on every scenario"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A temps
for sc in "${scenarios[@]}"; do
  read -r nom a b p <<<"$sc"
  for prog in "${programmes[@]}"; do : >"/tmp/kelvaro_bench_$nom.$prog"; done
  for ((r = 0; r < reps; r++)); do
    for prog in "${programmes[@]}"; do
      [[ "$nom" = S[67] ]] && [[ "$prog" == gp_* ]] && continue
      [ "$nom" = S7 ] && [ "$prog" = crible ] && continue
      [[ "$nom" = S9 || "$nom" = S1[01] ]] && [ "$prog" = crible ] && continue
      [[ "$nom" = S9 || "$nom" = S10 ]] &&
        [[ "$prog" = gp_print || "$prog" = gp_calcul ]] && continue
      debut=$(date +%s%N)
      run "$prog" "$a" "$b" "$p"
      echo $(( ($(date +%s%N) - debut) / 1000000 )) >>"/tmp/kelvaro_bench_$nom.$prog"
    done
  done
  for prog in "${programmes[@]}"; do
    [ -s "/tmp/kelvaro_bench_$nom.$prog" ] &&
      temps[$nom.$prog]=$(median <"/tmp/kelvaro_bench_$nom.$prog")
    rm -f "/tmp/kelvaro_bench_$nom.$prog"
  done
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }
echo
echo "median wall time in ms over $reps run(s); kelvaro on $(nproc) threads," \
  "kelvaro1 on one; ratios are kelvaro / other, and kelvaro1 / kelvaro"
printf '%-4s %8s %8s %8s %9s %9s %9s %7s %8s %9s %8s %8s\n' scen kelvaro \
  kelvaro1 crible gp_print gp_calcul gp_ff k1/k k/crible k/gp_calc k/gp_prt \
  k/gp_ff
for sc in "${scenarios[@]}"; do
  read -r nom _ <<<"$sc"
  k=${temps[$nom.kelvaro]}
  k1=${temps[$nom.kelvaro1]}
  c=${temps[$nom.crible]:--}
  gpp=${temps[$nom.gp_print]:--}
  gpc=${temps[$nom.gp_calcul]:--}
  gpf=${temps[$nom.gp_ff]:--}
  printf '%-4s %8s %8s %8s %9s %9s %9s %7s %8s %9s %8s %8s\n' "$nom" "$k" \
    "$k1" "$c" "$gpp" "$gpc" "$gpf" "$(ratio "$k1" "$k")" "$(ratio "$k" "$c")" \
    "$(ratio "$k" "$gpc")" "$(ratio "$k" "$gpp")" "$(ratio "$k" "$gpf")"
done

if [ "$smoke" = 0 ]; then
  echo
  for sc in "${scenarios[@]}"; do
    read -r nom a b p <<<"$sc"
    # kelvaro ends with status 1, which time passes on.
    for f in 1 "$(nproc)"; do
      kb=$( { printf '%s %s %s 0\n' "$a" "$b" "$p" | KELVARO_FILS=$f \
              /usr/bin/time -f %M "$K" >/dev/null || true; } 2>&1 | tail -1)
      echo "$nom: kelvaro on $f thread(s): peak resident memory $((kb / 1024)) MiB"
    done
  done
fi
