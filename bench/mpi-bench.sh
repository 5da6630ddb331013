#!/usr/bin/env bash
# Figures of the build over MPI on this machine: sonar.train (139 rows x 60 attributes) at
# grid size 8, homogeneity/prevalence 0.9/0.05/0.1/0.05, degree 3, with 1 and 2 ranks of one
# thread each, and the cost per subset at degree 2 and 3 on one thread (which the README's
# projection uses). Each figure is the best of RUNS runs, since other work may share the
# machine.
#   bench/mpi-bench.sh [LAD_MPI] [RUNS]     (default build-rel/mpi/lad-mpi, else
#                                            build/mpi/lad-mpi; 3 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
default=$root/build-rel/mpi/lad-mpi
[ -x "$default" ] || default=$root/build/mpi/lad-mpi
lad_mpi=$(realpath "${1:-$default}")
runs=${2:-3}
table=$root/bench/data/sonar.train.csv
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# best RANKS DEGREE: "whole search" seconds, the least of `runs` runs of each.
best() {
  local ranks=$1 degree=$2 whole="" search="" line i
  for ((i = 0; i < runs; i++)); do
    line=$(mpirun -n "$ranks" "$lad_mpi" build "$table" --degree "$degree" --grid-size 8 \
      --positive-homogeneity 0.9 --positive-prevalence 0.05 --negative-homogeneity 0.1 \
      --negative-prevalence 0.05 --threads 1 --name B --timings 2>&1 >/dev/null | grep '^Timings')
    read -r w s < <(sed -E 's/.*search ([0-9.]+) s.* in all ([0-9.]+) s/\2 \1/' <<<"$line")
    whole=$(awk -v a="${whole:-$w}" -v b="$w" 'BEGIN { print (b < a ? b : a) }')
    search=$(awk -v a="${search:-$s}" -v b="$s" 'BEGIN { print (b < a ? b : a) }')
  done
  echo "$whole $search"
}

echo "sonar.train, 139 rows x 60 attributes, grid size 8, 0.9/0.05/0.1/0.05, $(nproc) cores;"
echo "ranks of one thread each, best of $runs runs"
read -r whole1 search1 < <(best 1 3)
read -r whole2 search2 < <(best 2 3)
read -r _ search_d2 < <(best 1 2)
awk -v w1="$whole1" -v s1="$search1" -v w2="$whole2" -v s2="$search2" -v d2="$search_d2" 'BEGIN {
  printf "degree 3, 34220 subsets   whole build   search over the ranks, merged on rank 0\n"
  printf "  1 rank                   %7.2f s     %7.2f s\n", w1, s1
  printf "  2 ranks                  %7.2f s     %7.2f s\n", w2, s2
  printf "  speed-up                 %7.2fx     %7.2fx\n", w1 / w2, s1 / s2
  printf "cost per subset, search and merge on one thread: degree 2 %.3f ms, degree 3 %.3f ms\n",
    1000 * d2 / 1770, 1000 * s1 / 34220
}'
