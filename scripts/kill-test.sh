#!/usr/bin/env bash
# Kills `lad build` at random moments while it writes a model over an older one, and checks
# that each set of four files is all old or all new, or, when the kill lands inside the
# renames, new for a first part of the rename order (PAT, DES, GRD, MOD) and old for the rest;
# never a file that is neither. Usage: kill-test.sh [RUNS] [LAD] (default 200, build/cli/lad).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-200}
lad=${2:-$root/build/cli/lad}
table=$root/bench/data/wdbc.csv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

build() {  # build NAME EXTRA-OPTIONS...
  local name=$1
  shift
  "$lad" build "$table" --degree 3 --name "$name" "$@" >/dev/null
}
build old --positive-homogeneity 0.9 --positive-prevalence 0.05
build new --positive-homogeneity 0.8 --positive-prevalence 0.05 --grid-size 7
exts=(PAT DES GRD MOD)
for e in "${exts[@]}"; do cmp -s "old.$e" "new.$e" && { echo "old and new $e are equal"; exit 1; }; done
start=$(date +%s%N)
build timing --positive-homogeneity 0.8 --positive-prevalence 0.05 --grid-size 7
span=$((($(date +%s%N) - start) / 1000))  # microseconds of one build

declare -A seen=()
bad=0
for ((i = 1; i <= runs; i++)); do
  for e in "${exts[@]}"; do cp "old.$e" "M.$e"; done
  "$lad" build "$table" --degree 3 --name M --positive-homogeneity 0.8 --grid-size 7 \
    --positive-prevalence 0.05 >/dev/null 2>&1 &
  pid=$!
  sleep "$(awk -v s="$span" -v r="$RANDOM" 'BEGIN { printf "%.6f", s * 1.1 * r / 32767 / 1e6 }')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  state=""
  for e in "${exts[@]}"; do
    if cmp -s "M.$e" "new.$e"; then state+="n"; elif cmp -s "M.$e" "old.$e"; then state+="o"; else state+="?"; fi
  done
  case $state in
    oooo | nnnn | nooo | nnoo | nnno) ;;
    *) echo "run $i: PAT DES GRD MOD = $state"; bad=$((bad + 1)) ;;
  esac
  seen[$state]=$((${seen[$state]:-0} + 1))
done
leftovers=$(find . -name 'M.*_*' | wc -l)
echo "runs: $runs, one build: $((span / 1000)) ms"
for s in "${!seen[@]}"; do echo "  PAT DES GRD MOD = $s: ${seen[$s]}"; done
echo "  temporary files left at the end: $leftovers (a later save clears them)"
test $bad -eq 0
