#!/usr/bin/env bash
# Drives the real window under Xvfb at 1024 x 768 with clicks alone (key presses do not reach a
# window without a window manager) and takes the README's screenshots of the first start with
# the File menu, the sample table built and applied, the choices beside the parameters after a build, the Data tab, and the
# Evaluation tab with the rows table and the run history.
# Usage: window-screenshots.sh [OUTPUT_FOLDER]   (needs a built build/app/lad-workbench)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/screenshots}
source "$root/scripts/window-tools.sh"
install_window_tools
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Both tables in one folder, which keeps the run history of both.
mkdir -p "$work/data" "$work/config/lad"
cp "$root/bench/data/wdbc.train.csv" "$root/bench/data/wdbc.test.csv" "$work/data/"

cat > "$work/drive.sh" <<DRIVE
#!/usr/bin/env bash
set -u
export XDG_CONFIG_HOME="$work/config"
cd "$work/data"
shot() { import -window root "$out/\$1"; }
click() { xdotool mousemove \$1 \$2 click 1; sleep \${3:-1}; }
start() {
  "$root/build/app/lad-workbench" &
  pid=\$!
  sleep 3
}
# The first start, with the File menu open.
start
click 18 8
shot first-start.png
convert "$out/first-start.png" -trim +repage "$out/first-start.png"  # the window, not the screen
click 18 8
# Build Model and Apply Model on the sample table.
click 725 233 3
click 725 295 3
shot workbench.png
convert "$out/workbench.png" -trim +repage "$out/workbench.png"
kill \$pid; sleep 1
# The recent files, the thresholds and the choices as a user left them: wdbc's tuned
# thresholds, cover 3 and class-aware cut points.
cat > "$work/config/lad/lad-workbench.ini" <<INI
[General]
lastFolder=$work/data
recentFiles=$work/data/wdbc.test.csv, $work/data/wdbc.train.csv
windowSize=@Size(1024 768)

[parameters]
gridSize=8
degree=2
positiveHomogeneity=0.9
positivePrevalence=0.1
negativeHomogeneity=0.05
negativePrevalence=0.05

[choices]
selection=3
cutPoints=class-aware
undecided=larger
INI
start
# File > Open Recent > wdbc.train.csv, then Build Model.
click 18 8 0.5; click 70 50 0.5; click 390 72 2
click 725 233
for t in \$(seq 1 60); do sleep 1; [ \$(grep -c build "$work/data/lad-runs.tsv") -ge 2 ] && break; done
sleep 2
shot options.png
click 623 357 2
shot data.png
# Cross-validate on the training table, then Open Recent > wdbc.test.csv and Apply Model.
click 486 357
click 296 384
for t in \$(seq 1 120); do sleep 1; grep -q cross-validation "$work/data/lad-runs.tsv" && break; done
sleep 1
click 18 8 0.5; click 70 50 0.5; click 390 72 2
click 725 295 3
click 486 357 2
shot evaluation.png
# The rows table, the splitter above it dragged up; then the History tab: the build, the
# cross-validation and the apply, the two newest side by side, selected by a drag over them.
xdotool mousemove 512 625 mousedown 1 mousemove 512 525 mouseup 1
sleep 1
shot rows.png
click 86 565 1
xdotool mousemove 200 628 mousedown 1 mousemove 200 648 mouseup 1
sleep 1
shot history.png
kill \$pid
DRIVE
chmod +x "$work/drive.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/drive.sh" 2>/dev/null
echo "screenshots in $out"
