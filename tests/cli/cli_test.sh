#!/usr/bin/env bash
# Runs the lad command line as a user would: cli_test.sh PATH_TO_LAD
set -u
lad=$1
source "$(dirname "$0")/../checks.sh"

out=$("$lad" build)
check "build prints the counts" grep -q "Positive Patterns Found: 113" <<<"$out"
check "build prints the negative count" grep -q "Negative Patterns Found: 91" <<<"$out"
check "LAD.MOD has 211 lines" test "$(wc -l < LAD.MOD)" -eq 211
check "first pattern line" grep -q $'^Pospattern1=0:7:4,1:6:5\r$' LAD.MOD

out=$("$lad" apply)
check "apply prints 16 lines" test "$(wc -l <<<"$out")" -eq 16
check "Obs1 forecast" grep -qx "Obs1,1,0.649324127200233" <<<"$out"
check "Obs16 forecast" grep -qx "Obs16,0,0.00875230963726542" <<<"$out"

printf 'Name,A,Class\nx,1,1\ny,2,0\nz,3,1\n' > table.txt
check "build from a file into a folder" "$lad" build table.txt --grid-size 3 --name sub >/dev/null
out=$(printf 'N,A,C\nq,2.5,0\n' | "$lad" apply - --name sub)
check "apply reads standard input" grep -qx "q,0,.*" <<<"$out"
err=$(printf 'N,B,C\nq,2.5,0\n' | "$lad" evaluate - --name sub 2>&1 >/dev/null)
check "a table whose columns the model names otherwise is warned about" grep -qx "Warning: Column 2 of the table is named 'B', but the model's attribute 1 is 'A'; the model reads the values by their column." <<<"$err"

err=$("$lad" apply --name missing 2>&1 >/dev/null)
code=$?
check "missing model exits 1" test $code -eq 1
check "missing model message" grep -q "^Cannot open file \".*/missing.MOD\"\. .*\.$" <<<"$err"

err=$("$lad" build --positive-homogeneity abc 2>&1 >/dev/null)
code=$?
check "bad parameter exits 1" test $code -eq 1
check "bad parameter message" test "$err" = "Positive Homogeneity: 'abc' is not a valid floating point value."

"$lad" build --degree two >/dev/null 2>&1
check "usage error exits 2" test $? -eq 2
"$lad" >/dev/null 2>&1
check "no command exits 2" test $? -eq 2
check "help explains both commands" bash -c "'$lad' --help | grep -q 'lad apply'"

err=$("$lad" build --degree 9 --name wide 2>&1 >/dev/null)
check "degree above the attribute count is said" test "$err" = "Warning: The degree 9 exceeds the number of attributes (6): the search takes the one subset of all 6."
err=$("$lad" build --name "" 2>&1 >/dev/null)
code=$?
check "empty name exits 1" test $code -eq 1
check "empty name message" test "$err" = "The model name is empty."
check "empty name writes nothing" test ! -e .MOD

printf 'Attributes=A\r\nCutpoints_Att_0=1\r\nPospattern1=1:1:0\r\n' > half.MOD
err=$("$lad" apply table.txt --name half 2>&1 >/dev/null)
check "one-sided model is applied with a warning" grep -q "^Warning: The model half.MOD has no negative patterns" <<<"$err"
printf 'Attributes=A\r\nCutpoints_Att_0=1\r\nPospattern1=1:1:0\r\nNegpat' > cut.MOD
"$lad" apply table.txt --name cut >/dev/null 2>&1
check "a model cut in a line exits 1" test $? -eq 1

# How good a model is: evaluate, cv, tune.
"$lad" build >/dev/null
out=$("$lad" evaluate)
check "evaluate prints the accuracy" grep -qx "Accuracy: 0.6875 (undecided count as wrong)" <<<"$out"
check "evaluate prints the confusion matrix" grep -qE "^ +class 0 +5 +3 +0$" <<<"$out"
check "evaluate --json is JSON with the AUC" python3 -c '
import json, sys
d = json.load(sys.stdin)
assert d["auc"] == 1.0 and d["confusion"]["class_0"]["forecast_1"] == 5, d' < <("$lad" evaluate --json)
out=$("$lad" cv --folds 4 --seed 3)
check "cv prints four folds and the mean" test "$(grep -cE '^ +[1-4] ' <<<"$out")" -eq 4
check "cv prints the mean" grep -qE "^ Mean " <<<"$out"
a=$("$lad" cv --folds 4 --seed 3 --json | python3 -c 'import json,sys; d=json.load(sys.stdin); print([f["accuracy"] for f in d["per_fold"]], d["summary"]["auc"]["mean"])')
b=$("$lad" cv --folds 4 --seed 3 --json --threads 1 | python3 -c 'import json,sys; d=json.load(sys.stdin); print([f["accuracy"] for f in d["per_fold"]], d["summary"]["auc"]["mean"])')
check "cv figures do not depend on the threads" test "$a" = "$b"
out=$("$lad" tune --folds 3 --positive-homogeneity "0.9;0.7" --negative-homogeneity 0.1,0.3 --positive-prevalence 0.1 --negative-prevalence 0.1)
check "tune ranks four sets" grep -q "^Tuning: 4 parameter sets, 3 folds each, 12 builds" <<<"$out"
check "tune ends with the lad build line" grep -qE "^lad build --grid-size 8 --degree 2 --positive-homogeneity 0\.[79] " <<<"$(tail -1 <<<"$out")"
err=$("$lad" tune --positive-homogeneity "0.9;2" 2>&1 >/dev/null)
code=$?
check "a bad tuning list exits 1" test $code -eq 1
check "a bad tuning list is named" test "$err" = "Positive Homogeneity: every value must lie between 0 and 1 (one is '2')"
"$lad" cv --folds 1 >/dev/null 2>&1
check "one fold is a usage error" test $? -eq 2
err=$("$lad" cv --folds 17 2>&1 >/dev/null)
check "more folds than observations is refused" test "$err" = "The data table has 16 observation(s), too few for 17 folds."

# Seeds are whole numbers of 64 bits: nothing wraps round or is clamped.
for seed in -1 18446744073709551616 1.5; do
  err=$("$lad" cv --folds 2 --seed "$seed" 2>&1 >/dev/null)
  check "seed $seed is a usage error" test $? -eq 2
  check "seed $seed is refused with the range" grep -q "from 0 to 18446744073709551615 (it is '$seed')" <<<"$err"
done
check "the largest seed is taken" bash -c '"$0" cv --folds 2 --seed 18446744073709551615 >/dev/null' "$lad"

# The suggested build line runs as printed, whatever the table is called; a value typed twice is
# tried once.
printf 'Name,A,B,Class\n' > two.csv
for i in $(seq 1 24); do echo "o$i,$((i % 7)),$((i * 3 % 11)),$((i % 2))" >> two.csv; done
for name in "-x.csv" "my table.csv" "it's \"q\" \$HOME.csv"; do
  mkdir -p named && cp two.csv "named/$name"
  line=$(cd named && "$lad" tune --folds 2 --positive-homogeneity "0.8 0.8" --positive-prevalence 0.1 \
    --negative-homogeneity 0.2 --negative-prevalence 0.1 -- "$name" | tail -1)
  check "tune line for $name" grep -q "^lad build " <<<"$line"
  (cd named && rm -f LAD.MOD && bash -c "\"\$0\" ${line#lad } >/dev/null" "$lad")
  check "the tune line for $name runs as printed" test -s "named/LAD.MOD"
done
out=$("$lad" tune two.csv --folds 2 --positive-homogeneity "0.8;0.8;0.7" --positive-prevalence 0.1 \
  --negative-homogeneity 0.2 --negative-prevalence "0.1 0.1")
check "repeated values are tuned once" grep -q "^Tuning: 2 parameter sets, 2 folds each, 4 builds" <<<"$out"
awk -F, 'NR == 1 || $4 == 1' two.csv > ones.csv
out=$("$lad" tune ones.csv --folds 2 --positive-homogeneity 0.8 --positive-prevalence 0.1 \
  --negative-homogeneity 0.2 --negative-prevalence 0.1)
check "a tuning that ranks nothing names no best set" bash -c '! grep -q "Best parameters" <<<"$0"' "$out"
check "and says why" grep -q "^No parameter set could be ranked: the balanced-accuracy of every set is n/a" <<<"$out"

# A grid whose search would take years is refused at once by every command that builds, before
# anything is written (by its memory instead on a machine of less than about 5 GB).
awk 'BEGIN { srand(7); printf "Name"; for (k = 1; k <= 8; k++) printf ",A%d", k; print ",Class";
  for (r = 1; r <= 10000; r++) { printf "r%d", r; for (k = 1; k <= 8; k++) printf ",%.9f", rand();
  print "," r % 2 } }' > fine.csv
for command in "build --name refused" cv tune; do
  err=$("$lad" $command fine.csv --grid-size 10000 --degree 2 2>&1 >/dev/null)
  check "$command refuses a search of years" test $? -eq 1
  check "$command says what it would take" grep -qE "(would judge up to [0-9.]+e[0-9]+ boxes, up to about [0-9.]+ (days|years) on .*|needs about [0-9.]+ [KMGT]B of memory .*are available); lower " <<<"$err"
done
check "a refused build writes nothing" test ! -e refused.MOD

# A decimal comma (LC_NUMERIC): the defaults and the tuning lists read in it.
if localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8" >/dev/null 2>&1 ||
   { mkdir -p "$work/locales" && localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8" >/dev/null 2>&1; }; then
  printf 'Name,A,B,Class\n' > comma.csv
  for i in $(seq 1 30); do echo "o$i,$((i % 7)),$((i * 3 % 11)),$((i % 2))" >> comma.csv; done
  comma=(env LOCPATH="$work/locales" LC_ALL= LC_NUMERIC=de_DE.UTF-8)
  out=$("${comma[@]}" "$lad" tune comma.csv --folds 3 --positive-homogeneity "0,9;0,8" \
    --positive-prevalence 0,1 --negative-homogeneity "0,05 0,2" --negative-prevalence 0,05)
  check "tune reads comma lists" grep -qE "^lad build comma.csv .*--negative-prevalence 0,05$" <<<"$out"
  out=$("${comma[@]}" "$lad" cv comma.csv --folds 3)
  check "cv takes its default thresholds with a comma" grep -q "positive homogeneity 0,6," <<<"$out"
else
  echo "skipped: no de_DE locale to compile (the locales package)"
fi

# Standard output that cannot be written (a full disk) fails the command, whatever it prints.
"$lad" build >/dev/null
while IFS= read -r command; do
  err=$(eval "\"\$lad\" $command" 2>&1 >/dev/full)
  code=$?
  check "$command > /dev/full exits 1 and says why" test $code -eq 1 -a \
    "$(tail -1 <<<"$err")" = "Cannot write standard output: $(python3 -c 'import os; print(os.strerror(28))')."
done <<'COMMANDS'
apply
evaluate
patterns
explain Obs2
cv --folds 4
tune --folds 3 --positive-homogeneity 0.9 --negative-homogeneity 0.1 --positive-prevalence 0.1 --negative-prevalence 0.1
export --to python
build --name full
COMMANDS

# Saving to something that is not a regular file writes through it and leaves it as it was;
# through a link to a regular file, the file is replaced and the link stays.
check "export -o /dev/null" "$lad" export --to sql -o /dev/null
check "/dev/null stays a device" test -c /dev/null
err=$("$lad" export --to sql -o /dev/full 2>&1 >/dev/null)
check "export -o /dev/full fails with the reason" grep -q "^Cannot write file \"/dev/full\"\. .*\.$" <<<"$err"
check "/dev/full stays a device" test -c /dev/full
mkfifo pipe
cat pipe > from-pipe &
check "export -o FIFO" "$lad" export --to python -o pipe
wait
check "the FIFO got the code and stays a FIFO" test -p pipe -a -s from-pipe
"$lad" export --to python > expected.py
echo old > real.py && ln -s real.py link.py
"$lad" export --to python -o link.py >/dev/null
check "export through a link replaces the file it points to" cmp -s real.py expected.py
check "and the link stays a link" test -L link.py

# A NAME.MOD cut at a line end reads as a smaller model; NAME.PAT beside it says otherwise.
mkdir -p cut && "$lad" build --name cut/LAD >/dev/null && head -n -30 cut/LAD.MOD > cut/short.MOD
mv cut/short.MOD cut/LAD.MOD
for command in apply evaluate patterns "explain Obs2" "export --to sql"; do
  err=$(eval "\"\$lad\" $command --name cut/LAD" 2>&1 >/dev/null)
  code=$?
  check "$command warns of a model cut at a line end" test $code -eq 0 -a "$(head -1 <<<"$err")" = \
    "Warning: The model cut/LAD.MOD holds 113 positive and 61 negative patterns, but cut/LAD.PAT beside it names 113 positive and 91 negative patterns: cut/LAD.MOD may be cut short, or the files come from different builds."
done

mkdir locked && chmod 500 locked
if [ "$(id -u)" -ne 0 ]; then
  "$lad" build --name locked/M >/dev/null 2>&1
  check "unwritable folder exits 1" test $? -eq 1
fi

# --json prints valid JSON (UTF-8) whatever the bytes of a file or attribute name; a byte that
# is not UTF-8 reads as U+FFFD, and the warning comes before the builds.
strict_json='import json, sys; d = json.loads(sys.stdin.buffer.read().decode("utf-8")); '
printf 'Name,A\xff,B,Class\nx,1,2,1\ny,2,1,0\nz,3,3,1\nw,0,0,0\n' > $'bad\xff.csv'
out=$("$lad" tune $'bad\xff.csv' --folds 2 --positive-homogeneity 0.9 --negative-homogeneity 0.1 \
  --positive-prevalence 0.1 --negative-prevalence 0.1 --json 2>err.txt)
check "tune --json with a file name that is not UTF-8 exits 0" test $? -eq 0
check "and prints valid JSON with U+FFFD in the build line" python3 -c "$strict_json"'
assert "bad\ufffd.csv" in d["best_build_command"], d' <<<"$out"
check "and warns first" env LC_ALL=C grep -q "^Warning: The table's file name 'bad.*' is not UTF-8 text" err.txt
"$lad" build $'bad\xff.csv' --degree 1 --name Bad --quiet > /dev/null
out=$("$lad" patterns $'bad\xff.csv' --name Bad --json 2>err.txt)
check "patterns --json with an attribute name that is not UTF-8 prints valid JSON" \
  python3 -c "$strict_json"'
assert len(d) > 0 and any(c["attribute"] == "A\ufffd" for p in d for c in p["conditions"]), d' <<<"$out"
check "and warns" env LC_ALL=C grep -q "^Warning: The model's attribute name 'A.*' is not UTF-8 text" err.txt

# Compact models: pattern selection and class-aware cut points.
out=$("$lad" build --select cover:1 --name selected)
check "selection says how many it kept" grep -qx "Patterns kept by the selection: [0-9]* of 113 positive, [0-9]* of 91 negative" <<<"$out"
check "a selected model has fewer patterns" test "$(grep -c pattern selected.MOD)" -lt 204
check "a selected model applies" "$lad" apply --name selected
err=$("$lad" build --select cover:0 2>&1 >/dev/null)
check "a bad selection exits 1" test $? -eq 1
check "a bad selection is named" grep -q "^--select: 'cover:0' is not a selection; use none, or cover:K" <<<"$err"
"$lad" build --discretize sometimes >/dev/null 2>&1
check "an unknown discretization is a usage error" test $? -eq 2
err=$("$lad" build --discretize class-aware --name aware 2>&1 >/dev/null)
check "class-aware cut points that split nothing are explained" grep -q "class-aware cut points split no attribute of this table" <<<"$err"
out=$("$lad" cv --select cover:2 --discretize class-aware --folds 2 2>/dev/null | head -1)
check "cv names the selection and the cut points" grep -q ", class-aware cut points, selection cover:2$" <<<"$out"

out=$("$lad" evaluate --name selected --undecided 1)
check "evaluate counts undecided rows as a class when asked" grep -q "^Accuracy: .* (undecided count as class 1: [0-9]* decided so)$" <<<"$out"
"$lad" evaluate --name selected --undecided maybe >/dev/null 2>&1
check "an unknown undecided rule is a usage error" test $? -eq 2

out=$("$lad" evaluate --name selected)
check "evaluate gives the model's size" grep -qx "Model: [0-9]* positive and [0-9]* negative patterns, [0-9]* conditions in all" <<<"$out"

out=$("$lad" tune --degree "1;2" --select "none;cover:1" --positive-homogeneity 0.6 --positive-prevalence 0.1 --negative-homogeneity 0.4 --negative-prevalence 0.1 --folds 2 --quiet)
check "tune ranges over degrees and selections" grep -q "^Tuning: 4 parameter sets, 2 folds each, 8 builds" <<<"$out"
check "tune shows the degree and the selection of each set" grep -qE "^ Rank Degree   Select  PosHom" <<<"$out"
check "tune's best command line carries a selection when it won" bash -c "grep -A1 'Best parameters' <<<\"\$1\" | grep -q -- '--degree [12]'" _ "$out"
err=$("$lad" tune --degree "2;x" 2>&1 >/dev/null)
check "a bad degree in the list is named" grep -q "^Degree: 'x' is not a degree" <<<"$err"

finish
