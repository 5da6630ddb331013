#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then for each target: replays the saved inputs of
# fuzz/regressions/<target>/ and fuzzes for SECONDS_PER_TARGET (default 15) from a copy of
# fuzz/corpus/<target>/, one target at a time. Exits non-zero on any crash, leak, timeout or
# broken property; the input that shows it is kept in build-fuzz/findings/<target>/ and the
# output in build-fuzz/findings/<target>.log.
#   fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-15}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS_PER_TARGET]" >&2
  exit 2
fi
targets=(fuzz_table_intake fuzz_text_table fuzz_table_reading fuzz_model_load fuzz_number_text fuzz_build_apply
  fuzz_exports fuzz_json_output)

bash scripts/install-deps.sh
bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DLAD_BUILD_FUZZ=ON \
  -DLAD_BUILD_APP=OFF -DLAD_BUILD_TESTS=OFF -DLAD_BUILD_BENCH=OFF -- "${targets[@]}"

# The corpus grows while a target runs: it works on a copy, never in the repository. The
# model files the targets write end in fsync, so their scratch folder is in memory when the
# machine has a writable /dev/shm.
work=$(mktemp -d "${TMPDIR:-/tmp}/lad-fuzz.XXXXXX")
scratch=$work
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$(mktemp -d /dev/shm/lad-fuzz.XXXXXX); fi
trap 'rm -rf "$work" "$scratch"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1
limits=(-timeout=10 -rss_limit_mb=2048)

status=0
for target in "${targets[@]}"; do
  program=$root/build-fuzz/fuzz/$target
  findings=$root/build-fuzz/findings/$target
  log=$findings.log
  rm -rf "$findings" "$log"
  mkdir -p "$findings" "$scratch/$target" "$work/$target"
  cp -r "fuzz/corpus/$target" "$work/$target/corpus"
  failed=0

  # Every input that once failed must pass before the target is fuzzed again.
  regressions=()
  if [ -d "fuzz/regressions/$target" ]; then
    while IFS= read -r -d '' file; do regressions+=("$file"); done \
      < <(find "fuzz/regressions/$target" -type f -print0 | sort -z)
  fi
  if [ ${#regressions[@]} -gt 0 ]; then
    TMPDIR=$scratch/$target "$program" "${limits[@]}" "${regressions[@]}" > "$log" 2>&1 ||
      failed=1
  fi
  if [ $failed -eq 0 ]; then
    TMPDIR=$scratch/$target "$program" "${limits[@]}" -max_total_time="$seconds" \
      -print_final_stats=1 -artifact_prefix="$findings/" "$work/$target/corpus" >> "$log" 2>&1 ||
      failed=1
  fi

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $failed -eq 0 ]; then
    echo "=== $target: ${runs:-?} runs in ${seconds} s, ${#regressions[@]} saved input(s), no finding"
  else
    status=1
    echo "=== $target: FAILED (output in $log, inputs in $findings/)"
    tail -n 60 "$log"
  fi
done
exit $status
