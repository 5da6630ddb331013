#!/usr/bin/env bash
# lad-mpi against lad build: the same four files, byte for byte, at 1, 2 and 3 ranks; the
# same message and exit code for a failure, once; a rank that dies ends the run.
#   mpi_test.sh LAD LAD_MPI GENERATE_TABLE DATA_DIR BENCH_DATA_DIR
set -u
lad=$1
lad_mpi=$2
generate=$3
data=$4
bench_data=$5
# The test runs as root in CI; three ranks share two cores.
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
# In the sanitizer build the ranks keep every check but the leak check at exit: Open MPI leaves
# allocations of its plugins behind, unloaded by then, so no suppression can single them out.
# (The engine's part of a shared build is leak-checked in engine_tests.)
mpi_env=(env "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
mpirun=("${mpi_env[@]}" mpirun --oversubscribe)
source "$(dirname "$0")/../checks.sh"
same_files() {  # same_files NAME EXPECTED_NAME
  local e
  for e in MOD PAT DES GRD; do cmp -s "$1.$e" "$2.$e" || { echo "  $1.$e differs from $2.$e"; return 1; }; done
}

# compare CASE RANKS [TABLE] [OPTIONS...]: lad-mpi at RANKS ranks writes what lad build writes.
compare() {
  local name=$1 ranks=$2
  shift 2
  [ -e "$name-lad.MOD" ] || "$lad" build "$@" --name "$name-lad" > "$name-lad.out"
  "${mpirun[@]}" -n "$ranks" "$lad_mpi" build "$@" --name "$name-$ranks" > "$name-$ranks.out"
  check "$name, $ranks rank(s): exit 0" test $? -eq 0
  check "$name, $ranks rank(s): the four files of lad build" same_files "$name-$ranks" "$name-lad"
  check "$name, $ranks rank(s): the counts of lad build" \
    test "$(tail -2 "$name-$ranks.out")" = "$(tail -2 "$name-lad.out")"
}

"$generate" 200 24 11 > generated.csv
for ranks in 1 2 3; do
  compare sample "$ranks"
  compare generated "$ranks" generated.csv --degree 3
done
# Ranks of two threads each, not bound to one core.
mpirun=("${mpi_env[@]}" mpirun --oversubscribe --bind-to none)
compare generated 2 generated.csv --degree 3 --threads 2
mpirun=("${mpi_env[@]}" mpirun --oversubscribe)
check "the generated table gives patterns of both kinds" \
  grep -q "Negative Patterns Found: [1-9]" generated-3.out

# The frozen cases: the files in tests/data are lad build's.
for case_dir in "$data"/*/; do
  case_name=$(basename "$case_dir")
  options=()
  while IFS='=' read -r key value; do options+=("--$key" "$value"); done < "$case_dir/parameters.txt"
  for ranks in 1 2 3; do
    "${mpirun[@]}" -n "$ranks" "$lad_mpi" build "$case_dir/table.txt" "${options[@]}" \
      --name "$case_name-$ranks" >/dev/null 2>&1
    check "$case_name, $ranks rank(s): the frozen files" same_files "$case_name-$ranks" "$case_dir/LAD"
  done
done

# Failures: lad build's message on standard error, once, exit 1, nothing written. --quiet
# keeps Open MPI's own note about a non-zero exit out of the comparison.
fail() {  # fail CASE ARGUMENTS...
  local name=$1
  shift
  "$lad" build "$@" > /dev/null 2> "$name-lad.err"
  local expected=$?
  check "$name: lad build exits 1" test "$expected" -eq 1
  for ranks in 1 2 3; do
    "${mpirun[@]}" --quiet -n "$ranks" "$lad_mpi" build "$@" > /dev/null 2> "$name-$ranks.err"
    local code=$?
    check "$name, $ranks rank(s): exit $expected" test "$code" -eq "$expected"
    check "$name, $ranks rank(s): lad build's message" cmp -s "$name-$ranks.err" "$name-lad.err"
  done
}
fail missing-table missing.csv --name never
fail bad-parameter --negative-prevalence 1.5 --name never
fail unwritable-name --name no-such-folder/M
check "the failures wrote nothing" test -z "$(ls never.* 2>/dev/null)"
"${mpirun[@]}" -n 3 "$lad_mpi" build missing.csv > /dev/null 2> loud.err
check "without --quiet the message still comes once" \
  test "$(grep -c '^Cannot open file ".*missing.csv"' loud.err)" -eq 1

# A rank killed during the search ends the run: no rank waits for it, and the model that was
# there stays as it was.
for e in MOD PAT DES GRD; do echo earlier > "killed.$e"; done
"${mpirun[@]}" -n 3 "$lad_mpi" build "$bench_data/sonar.csv" --degree 3 --threads 1 \
  --name killed > /dev/null 2> kill.err &
launcher=$!
victim=""
for _ in $(seq 1 100); do
  for pid in $(pgrep -P "$launcher"); do
    rank=$(tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | sed -n 's/^OMPI_COMM_WORLD_RANK=//p')
    [ "$rank" = 1 ] && victim=$pid
  done
  [ -n "$victim" ] && break
  sleep 0.1
done
sleep 1
[ -n "$victim" ] && kill -9 "$victim"
ended=""
for _ in $(seq 1 300); do
  kill -0 "$launcher" 2>/dev/null || { ended=yes; break; }
  sleep 0.1
done
check "a killed rank was found" test -n "$victim"
check "the run ends within 30 s of the kill" test -n "$ended"
[ -z "$ended" ] && kill -9 "$launcher"
wait "$launcher"
check "the run exits non-zero" test $? -ne 0
check "the run says which rank ended" grep -q "rank 1" kill.err
check "the earlier model is untouched" test "$(cat killed.MOD killed.PAT killed.DES killed.GRD | sort -u)" = earlier
check "no temporary file is left" test "$(ls | grep -c '^killed\.')" -eq 4

finish
