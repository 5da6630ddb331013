#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing. Idempotent.
set -euo pipefail

packages=(
  g++ cmake ninja-build          # toolchain
  libgtest-dev libbenchmark-dev  # tests and benchmarks
  libcli11-dev                   # the lad command line
  libtbb-dev                     # the threads of the pattern search
  libopenmpi-dev openmpi-bin     # lad-mpi, the build over MPI
  nlohmann-json3-dev             # the command line's --json
  python3 sqlite3 libsqlite3-dev # running the exported models in the tests and fuzz targets
  locales                        # a decimal-comma locale for the command-line tests
  clang libfuzzer-14-dev libclang-rt-14-dev  # the fuzz targets (libFuzzer and the sanitizer runtimes)
  qt6-base-dev libgl-dev         # the window
  qt6-charts-dev libqt6opengl6-dev  # the window's ROC and score charts
  xvfb xauth fonts-dejavu-core   # running the window without a display, readable fonts
  python3-dev pybind11-dev python3-pybind11  # the Python package's module
  python3-venv python3-pip python3-setuptools python3-wheel  # installing it without an index
  python3-numpy python3-pandas python3-sklearn python3-pytest  # its use and its tests
  python3-liac-arff              # ARFF files written by Python, for the table reader's tests
)
if [ "${LAD_NO_APP:-0}" = 1 ]; then
  packages=(g++ cmake ninja-build libgtest-dev libbenchmark-dev libcli11-dev libtbb-dev
    libopenmpi-dev openmpi-bin nlohmann-json3-dev python3 sqlite3 libsqlite3-dev locales clang libfuzzer-14-dev libclang-rt-14-dev
    python3-dev pybind11-dev python3-pybind11 python3-venv python3-pip python3-setuptools
    python3-wheel python3-numpy python3-pandas python3-sklearn python3-pytest python3-liac-arff)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
