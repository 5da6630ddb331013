#!/usr/bin/env bash
# Drives the real window through one working session on a large model and prints its resident
# memory after each step, at its peak and at the end: a build of sonar.train (139 rows x 60
# attributes) at degree 3 (0.9/0.05/0.1/0.05), the Patterns tab, Apply on sonar.test, Why this
# score?, then Open Data of the wdbc test table and Load of a small model.
# Usage: window-memory.sh [BUILD_FOLDER]   (default: build, configured with the window and the
# benchmarks: scripts/build.sh build -DLAD_BUILD_APP=ON -DLAD_BUILD_BENCH=ON)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
cmake --build "$build" --target lad_window_memory -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build/bench/lad_window_memory" "$root/bench/data"
