#!/usr/bin/env bash
# Builds and runs every test twice: a normal build, then AddressSanitizer +
# UndefinedBehaviorSanitizer (leaks included); then the Python package's tests in a virtual
# environment (scripts/python-test.sh); then runs each fuzz target for 15 seconds.
# Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
# The MPI tests start mpirun, which refuses to run as root (as in CI) unless told.
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
status=0
suites_failed=0
run_suite() {
  local name=$1 dir=$2
  shift 2
  echo "=== $name build ($dir)"
  mkdir -p "$dir"
  bash scripts/build.sh "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure --timeout 600 -j "$(nproc)" ||
    { status=1; suites_failed=$((suites_failed + 1)); }
}

run_suite normal build -DLAD_SANITIZE=OFF -DLAD_BUILD_APP=ON -DLAD_BUILD_TESTS=ON -DLAD_BUILD_BENCH=ON \
  -DLAD_BUILD_MPI=ON
# lad-mpi runs in the sanitizer build too, without the leak check at exit that Open MPI's own
# allocations would fail (tests/mpi/mpi_test.sh).
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite sanitizer build-asan -DLAD_SANITIZE=ON -DLAD_BUILD_APP=ON -DLAD_BUILD_TESTS=ON \
    -DLAD_BUILD_BENCH=OFF -DLAD_BUILD_MPI=ON -DCMAKE_BUILD_TYPE=Debug

# The Python package, installed into a virtual environment and compared with the lad of the
# normal build.
echo "=== Python package (build-python)"
python_failed=0
bash scripts/python-test.sh "$root/build/cli/lad" || { status=1; python_failed=1; }

echo "=== fuzz targets (build-fuzz)"
fuzzing=0
bash scripts/fuzz.sh 15 || { status=1; fuzzing=1; }

if [ $status -ne 0 ]; then
  echo "Some tests failed."
fi
# One closing line for the four suites: the normal build, the sanitizer build, the Python
# package and the fuzzing.
failed=$((suites_failed + python_failed + fuzzing))
echo "$((4 - failed)) passed, $failed failed"
exit $status
