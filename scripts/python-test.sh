#!/usr/bin/env bash
# Installs the Python package ladwb from this tree into a fresh virtual environment that sees
# Debian's packages (numpy, scikit-learn, pandas, pytest), without any package index, and runs
# its tests there. python-test.sh [LAD]: LAD is the lad program the tests compare with (default
# build/cli/lad, which the normal build makes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lad=${1:-$root/build/cli/lad}
# Debian's interpreter, whatever else PATH offers: its packages are the ones installed.
python=/usr/bin/python3
venv=$root/build-python/venv

rm -rf "$venv"
mkdir -p "$root/build-python"
"$python" -m venv --system-site-packages "$venv"
(cd "$root" && "$venv/bin/pip" install --quiet --disable-pip-version-check --no-cache-dir --no-index --no-build-isolation .)
# From the tests' folder, so that the installed package is the one imported.
cd "$root/python/tests"
LAD=$lad "$venv/bin/python" -m pytest -q -p no:cacheprovider .
