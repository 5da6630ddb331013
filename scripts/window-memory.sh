#!/usr/bin/env bash
# Drives the real window under Xvfb through a build of sonar.train (139 rows x 60 attributes)
# at degree 3 (0.9/0.05/0.1/0.05), then opens a small table, and prints the window's resident
# memory at its peak and at the end, with screenshots of the build in progress and done.
# Usage: window-memory.sh [OUTPUT_FOLDER]   (needs a built build/app/lad-workbench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/window-memory}
source "$root/scripts/window-tools.sh"
install_window_tools
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/../shared/data/sonar.train.csv" "$work/" 2>/dev/null || cp "$root/bench/data/sonar.csv" "$work/sonar.train.csv"
printf 'Name,A,Class\nx,1,1\ny,2,0\n' > "$work/small.txt"

cat > "$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
set -u
cd "$work"
"$root/build/app/lad-workbench" &
pid=\$!
sleep 3
win=\$(xdotool search --name "Rule-Based Inductive Learning" | head -1)
field() { xdotool mousemove --window \$win \$1 \$2 click --repeat 3 1; xdotool key ctrl+a; xdotool type --delay 20 "\$3"; }
open() { xdotool mousemove --window \$win 725 184 click 1; sleep 2; xdotool type --delay 20 "\$1"; xdotool key Return; sleep 2; }
field 240 201 3; field 90 250 0.9; field 265 250 0.05; field 435 250 0.1; field 600 250 0.05
open "$work/sonar.train.csv"
xdotool mousemove --window \$win 725 215 click 1
for t in \$(seq 1 60); do
  sleep 1
  [ \$t = 2 ] && import -window root "$out/progress.png"
  [ -e LAD.MOD ] && [ \$t -gt 3 ] && break
done
sleep 3
import -window root "$out/done.png"
open "$work/small.txt"
sleep 2
echo "peak resident memory: \$(awk '/VmHWM/{print int(\$2/1024)}' /proc/\$pid/status) MB"
echo "after opening a small table: \$(awk '/VmRSS/{print int(\$2/1024)}' /proc/\$pid/status) MB"
kill \$pid
DRIVE
chmod +x "$work/drive.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$work/drive.sh" 2>/dev/null
echo "screenshots in $out"
