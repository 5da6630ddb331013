#!/usr/bin/env bash
# Builds and starts the workbench window. Without a display, it starts under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
mkdir -p build
bash scripts/build.sh build -DLAD_BUILD_APP=ON -- lad-workbench lad
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the window under Xvfb (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/app/lad-workbench" "$@"
fi
exec "$root/build/app/lad-workbench" "$@"
