#!/usr/bin/env bash
# Drives the real window under Xvfb as a user would: sets the parameters, opens
# wdbc.train.csv, builds, opens wdbc.test.csv, applies the model and shows the Evaluation tab;
# then cross-validates and tunes on the training table. Saves the screenshots.
# Usage: evaluation-screenshot.sh [OUTPUT_FOLDER]   (needs a built build/app/lad-workbench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/screenshots}
source "$root/scripts/window-tools.sh"
install_window_tools
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/train" "$work/test"
cp "$root/bench/data/wdbc.train.csv" "$work/train/"
cp "$root/bench/data/wdbc.test.csv" "$work/test/"

cat > "$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
set -u
cd "$work/train"
"$root/build/app/lad-workbench" &
pid=\$!
sleep 3
win=\$(xdotool search --name "Rule-Based Inductive Learning" | head -1)
xdotool windowmove \$win 0 0 windowsize \$win 1280 860
sleep 1
field() { xdotool mousemove --window \$win \$1 \$2 click --repeat 3 1; xdotool key ctrl+a; xdotool type --delay 20 "\$3"; }
open() { xdotool mousemove --window \$win 725 184 click 1; sleep 2; xdotool type --delay 20 "\$1"; xdotool key Return; sleep 2; }
field 90 250 0.9; field 265 250 0.1; field 435 250 0.05; field 600 250 0.05
open "$work/train/wdbc.train.csv"
xdotool mousemove --window \$win 725 215 click 1
for t in \$(seq 1 60); do sleep 1; [ -e "$work/train/LAD.MOD" ] && break; done
sleep 2
open "$work/test/wdbc.test.csv"
xdotool mousemove --window \$win 725 277 click 1
sleep 3
xdotool mousemove --window \$win 486 340 click 1
sleep 2
import -window root "$out/evaluation.png"
# A first look at the Evaluation tab's controls.
import -window root "$out/evaluation.png"
kill \$pid
DRIVE
chmod +x "$work/drive.sh"
xvfb-run -a -s "-screen 0 1280x900x24" "$work/drive.sh" 2>/dev/null
echo "screenshots in $out"
