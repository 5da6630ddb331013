#!/usr/bin/env bash
# How lad saves under stress: two builds of one name at once, SIGINT and SIGTERM while the
# files are written. saves_test.sh PATH_TO_LAD TABLE [GRID_SIZE] (a table whose degree-3 build
# takes a while, such as bench/data/wdbc.csv; a smaller grid size keeps a slow build, such as
# the sanitizer build's, to a few seconds)
set -u
lad=$1
table=$2
grid=${3:-8}
source "$(dirname "$0")/../checks.sh"

exts=(PAT DES GRD MOD)
a=(--grid-size "$grid" --positive-homogeneity 0.9 --positive-prevalence 0.05 --negative-homogeneity 0.1)
b=(--grid-size "$grid" --positive-homogeneity 0.8 --positive-prevalence 0.05 --negative-homogeneity 0.1)
"$lad" build "$table" --degree 3 --name A "${a[@]}" >/dev/null
"$lad" build "$table" --degree 3 --name B "${b[@]}" >/dev/null

# Which build each of NAME's four files comes from: a, b, "=" where both builds write the same
# file (the discretized table of one grid size), "?" for neither.
origin() {
  local state="" e
  for e in "${exts[@]}"; do
    if cmp -s "A.$e" "B.$e" && cmp -s "$1.$e" "A.$e"; then state+="="
    elif cmp -s "$1.$e" "A.$e"; then state+=a
    elif cmp -s "$1.$e" "B.$e"; then state+=b
    else state+="?"; fi
  done
  echo "$state"
}
# Whether a state is one build's whole set.
whole() { [[ $1 != *"?"* && ! ($1 == *a* && $1 == *b*) ]]; }
leftovers() { find . -maxdepth 1 \( -name "$1.*_*" -o -name "$1.lock" \) | wc -l; }

# Two builds of one name, started together, several times: both succeed, one waits for the
# other, and the set is whole from one of them.
pairs_ok=0
for i in 1 2 3 4; do
  "$lad" build "$table" --degree 3 --name M "${a[@]}" >/dev/null 2>>a.err &
  first=$!
  "$lad" build "$table" --degree 3 --name M "${b[@]}" >/dev/null 2>>b.err
  second=$?
  wait $first
  first=$?
  state=$(origin M)
  if [ $first -eq 0 ] && [ $second -eq 0 ] && whole "$state" &&
     [ "$(leftovers M)" -eq 0 ]; then
    pairs_ok=$((pairs_ok + 1))
  else
    echo "pair $i: exits $first $second, files $state, left $(leftovers M)"; cat a.err b.err
  fi
done
check "concurrent builds of one name both succeed with a whole set" test $pairs_ok -eq 4
check "the build that waits says so" grep -qh "^Warning: Another build is writing the model M; waiting" a.err b.err

# SIGINT or SIGTERM while B's files are written over A's (at moments from the first temporary
# file on): the set is old, new, or new for a first part of the rename order, and no temporary
# file or lock is left.
bad=0
set -m  # background builds of their own, which do not ignore SIGINT
for signal in INT TERM; do
  for delay in 0 0.05 0.15 0.4; do
    for e in "${exts[@]}"; do cp "A.$e" "S.$e"; done
    "$lad" build "$table" --degree 3 --name S "${b[@]}" >/dev/null 2>&1 &
    pid=$!
    for ((wait = 0; wait < 3000; wait++)); do
      compgen -G "S.PAT_*" >/dev/null && break
      kill -0 $pid 2>/dev/null || break
      sleep 0.01
    done
    sleep $delay
    kill -s $signal $pid 2>/dev/null
    wait $pid
    code=$?
    state=$(origin S)
    [[ $state =~ ^[b=]*[a=]*$ ]] || { bad=$((bad + 1)); echo "SIG$signal +$delay s: $state"; }
    if [ "$(leftovers S)" -ne 0 ]; then bad=$((bad + 1)); echo "SIG$signal +$delay s: files left"; ls; fi
    # Stopped by the signal, or finished before it came.
    if [ $code -ne 0 ] && [ $code -ne $((128 + $(kill -l $signal))) ]; then
      bad=$((bad + 1)); echo "SIG$signal +$delay s: exit $code"
    fi
  done
done
set +m
check "a signal leaves no temporary file and a set that is old or new" test $bad -eq 0

finish
