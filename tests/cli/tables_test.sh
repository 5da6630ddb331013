#!/usr/bin/env bash
# Tables as people have them, through the lad command line:
#   tables_test.sh PATH_TO_LAD PYTHON3 TABLES_FOLDER SHARED_DATA_FOLDER
# PYTHON3 is a python3 that imports pandas, liac-arff and scikit-learn (the system's).
set -u
lad=$1
python=$2
tables=$3
source "$(dirname "$0")/../checks.sh"

# The cases a user meets first, each read correctly or refused with what to do.
printf 'Class,alpha,beta\nM,1,5\nB,2,6\nM,1.5,5.5\nB,2.5,6.5\n' > classfirst.csv
err=$("$lad" build classfirst.csv --name cf 2>&1 >/dev/null)
check "two text classes are refused with both values and the option" \
  grep -qx "classfirst.csv: the class column 'Class' has the two classes 'B', 'M'; say which is positive with --positive M (or --positive B)" <<<"$err"
check "with --positive they build" "$lad" build classfirst.csv --name cf --positive M --grid-size 3
check "the class column named Class is the class, wherever it is" \
  grep -q '"class": "Class"' cf.TBL
check "the first column holds the class, so the rows are named by their line" grep -q '"id": null' cf.TBL
out=$("$lad" apply classfirst.csv --name cf)
check "the forecast keeps the classes as written" grep -q "^Row 1,M," <<<"$out"

printf 'a,b,Class\n1,2,0\n2,3,1\n3,4,0\n4,5,1\n' > numbered.csv
err=$("$lad" build numbered.csv --name nb --grid-size 2 2>&1 >/dev/null)
check "a first column of numbers that names the rows is pointed out" grep -q "give --id none" <<<"$err"

printf 'n;a;Class\nx;1;1\ny;2;0\nz;3\n' > shortrow.csv
err=$("$lad" build shortrow.csv --name sr 2>&1 >/dev/null)
check "a short row of a ';' table is named, not a range check error" \
  grep -qx "shortrow.csv, line 4: the row has 2 fields but the header has 3; every row needs one field per column." <<<"$err"

printf 'Name,a,Class\nx,1,0\ny,2,1\nz,3,2\nw,4,1\nv,5,0\nu,6,2\n' > three.csv
check "whole-number classes 0, 1 and 2 build one model per class" \
  "$lad" build three.csv --name three --grid-size 3 --degree 1
check "one model per class and the index" test -f three-0.MOD -a -f three-1.MOD -a -f three-2.MOD -a -f three.CLS

err=$("$lad" build classfirst.csv --name cf --class Klass 2>&1 >/dev/null)
check "a class column that is not there is named with the columns there are" \
  grep -q "\-\-class 'Klass' names no column; give a column's name or its number from 1 to 3 (1 'Class', 2 'alpha', 3 'beta')" <<<"$err"
printf 'Name,a,b,Class\nx,1,2,0\ny,oops,3,1\nz,3,4,0\n' > typo.csv
err=$("$lad" build typo.csv --name ty 2>&1 >/dev/null)
check "a word in a column of numbers is refused with its place and the ways out" \
  grep -q "typo.csv, line 3, column 2 (a): 'oops' is not a number, though the column's other values are; mark it missing with --missing, or read the column as categories with --categorical a" <<<"$err"

# A spreadsheet's table: ";" and decimal commas, quotes, an id, a date to leave out, a column
# of categories, text classes and missing values.
cp "$tables/patients.csv" "$tables/patients-new.csv" .
out=$("$lad" build patients.csv --name pt --positive sick --ignore "sample date" --grid-size 3 2>&1)
check "the spreadsheet's table builds" test $? -eq 0
check "the categories are said" grep -q "Column colour is read as categories (3 values)" <<<"$out"
check "a missing value is ? in NAME.GRD" grep -q ',?' pt.GRD
check "categories are attributes colour=value" grep -q "^Attributes=age,colour=blue,colour=green,colour=red,weight" pt.MOD
out=$("$lad" apply patients-new.csv --name pt 2>&1)
check "new data without a class column is scored" grep -q "^n1,," <<<"$out"
check "a category never seen is warned about once" \
  test "$(grep -c "Column colour has values the model never saw (first 'purple')" <<<"$out")" -eq 1
out=$("$lad" evaluate patients.csv --name pt)
check "the model's layout reads its training table again for evaluation" grep -q "^Accuracy: " <<<"$out"

# pandas and liac-arff write the same table three ways; each reads into the same model as the
# plain form of it.
"$python" - <<'PY'
import csv
import arff
import pandas as pd
frame = pd.DataFrame({
    "name": [f"r{i}" for i in range(40)],
    "alpha": [((i * 37) % 17) / 4 for i in range(40)],
    "beta": [((i * 11) % 13) - 6.5 for i in range(40)],
    "kind": ["yes" if (i * 37) % 17 > 8 else "no" for i in range(40)],
})
frame.to_csv("quoted.csv", index=False, quoting=csv.QUOTE_ALL)
plain = frame.assign(Class=(frame.kind == "yes").astype(int)).drop(columns="kind")
plain.to_csv("plain.csv", index=False)
with open("weka.arff", "w") as f:
    f.write(arff.dumps({
        "relation": "quoted",
        "attributes": [("name", "STRING"), ("alpha", "REAL"), ("beta", "REAL"),
                       ("kind", ["no", "yes"])],
        "data": frame.values.tolist(),
    }))
holes = frame.copy()
holes.loc[[3, 9, 20], "alpha"] = None
holes.to_csv("holes.csv", index=False)
PY
check "pandas and liac-arff wrote the tables" test -f quoted.csv -a -f weka.arff -a -f holes.csv
"$lad" build plain.csv --name plain --degree 2 --grid-size 4 >/dev/null
"$lad" build quoted.csv --name quoted --positive yes --degree 2 --grid-size 4 >/dev/null
"$lad" build weka.arff --name weka --positive yes --degree 2 --grid-size 4 >/dev/null
check "a pandas CSV with every field quoted gives the plain table's model" cmp -s plain.MOD quoted.MOD
check "an ARFF written by liac-arff gives the same model" cmp -s plain.MOD weka.MOD
check "its reports too" cmp -s plain.PAT weka.PAT
check "pandas' empty fields are missing values" \
  "$lad" build holes.csv --name holes --positive yes --degree 2 --grid-size 4
check "three missing values in NAME.GRD" test "$(grep -o '?' holes.GRD | wc -l)" -eq 3

# scikit-learn's iris and wine as three-class tables.
"$python" - <<'PY'
from sklearn.datasets import load_iris, load_wine
for name, load in (("iris", load_iris), ("wine", load_wine)):
    data = load(as_frame=True)
    frame = data.frame.copy()
    frame["target"] = [data.target_names[t] for t in frame["target"]]
    frame.to_csv(f"{name}.csv", index_label="row")
PY
out=$("$lad" build iris.csv --class target --name iris --degree 2 --positive-homogeneity 0.9 \
  --positive-prevalence 0.05 --negative-homogeneity 0.1 2>&1)
check "iris builds one model per class" grep -q "Class virginica: model iris-virginica" <<<"$out"
out=$("$lad" apply iris.csv --name iris)
check "the forecast of several classes: name, class, score, forecast class, each class's score" \
  grep -Eq "^0,setosa,[-0-9.E]+,setosa,[-0-9.E]+,[-0-9.E]+,[-0-9.E]+$" <<<"$out"
out=$("$lad" evaluate iris.csv --name iris)
check "iris's evaluation gives the 3 x 3 confusion matrix" grep -q "^Confusion matrix (rows: class, columns: forecast):" <<<"$out"
accuracy=$(sed -n 's/^Accuracy: //p' <<<"$out")
check "iris's training accuracy is high ($accuracy)" "$python" -c "import sys; sys.exit(0 if float('$accuracy') > 0.9 else 1)"
check "wine builds one model per class" \
  "$lad" build wine.csv --class target --name wine --degree 1 --grid-size 6 --quiet
out=$("$lad" evaluate wine.csv --name wine)
check "wine's evaluation has an AUC for each class" test "$(grep -c "^AUC of class_. against the rest" <<<"$out")" -eq 3

# Cross-validation and tuning of iris's three classes: per fold one model per class against the
# rest, each held-out row forecast the class of highest score, judged as lad evaluate judges
# several classes.
set1=(--grid-size 6 --degree 1 --positive-homogeneity 0.9 --positive-prevalence 0.05
  --negative-homogeneity 0.1 --negative-prevalence 0.05)
out=$("$lad" cv iris.csv "${set1[@]}" --folds 5 --quiet)
check "cv of three classes says how it judges them" \
  grep -q "^3 classes: per fold one model per class against the rest; each row is forecast the class whose model scores highest" <<<"$out"
check "its folds show the macro F1" grep -qE "^ Fold  Accuracy  Balanced       AUC  Macro F1  Rows" <<<"$out"
check "it ends with the pooled 3 x 3 matrix" \
  grep -qE "^virginica +[0-9]+ +[0-9]+ +[0-9]+$" <<<"$(sed -n '/forecast by the models that did not learn it:/,$p' <<<"$out")"
"$lad" cv iris.csv "${set1[@]}" --folds 5 --json --threads 1 > cv1.json
"$lad" cv iris.csv "${set1[@]}" --folds 5 --json --threads 2 > cv2.json
check "cv's folds deal 10 rows of each class and add up to the pooled figures, which scikit-learn confirms, at 1 and 2 threads alike" \
  "$python" - cv1.json cv2.json <<'PY'
import json, sys
import numpy as np
from sklearn.metrics import accuracy_score, balanced_accuracy_score, f1_score
def without_seconds(x):
    if isinstance(x, dict):
        return {k: without_seconds(v) for k, v in x.items() if k != "build_seconds"}
    return [without_seconds(v) for v in x] if isinstance(x, list) else x
one, two = (json.load(open(f)) for f in sys.argv[1:])
assert without_seconds(one) == without_seconds(two), "threads change the figures"
def judged(figures):
    m = np.array(figures["confusion"])
    truth = [t for t in range(3) for c in range(3) for _ in range(m[t][c])]
    forecast = [c for t in range(3) for c in range(3) for _ in range(m[t][c])]
    for key, value in (("accuracy", accuracy_score(truth, forecast)),
                       ("balanced_accuracy", balanced_accuracy_score(truth, forecast)),
                       ("macro_f1", f1_score(truth, forecast, average="macro", labels=[0, 1, 2]))):
        assert abs(figures[key] - value) < 1e-12, (key, figures[key], value)
    return m
total = sum(judged(f) for f in one["per_fold"])
assert (total == judged(one["pooled"])).all()
assert all(np.array(f["confusion"]).sum(axis=1).tolist() == [10, 10, 10] for f in one["per_fold"])
accuracies = [f["accuracy"] for f in one["per_fold"]]
assert abs(one["summary"]["accuracy"]["mean"] - np.mean(accuracies)) < 1e-12
f1s = [f["macro_f1"] for f in one["per_fold"]]
assert abs(one["summary"]["macro_f1"]["sd"] - np.std(f1s, ddof=1)) < 1e-12
assert one["classes"] == ["setosa", "versicolor", "virginica"]
assert one["pooled"]["accuracy"] > 0.8, one["pooled"]["accuracy"]
PY
out=$("$lad" cv iris.csv "${set1[@]}" --folds 5 --positive virginica)
check "--positive keeps one class against the rest" \
  grep -q "^Every observation scored by the model that did not learn it:" <<<"$out"

# Leaving one row out at a time, cv forecasts each row as lad build of the other rows and lad
# apply of that row do.
printf 'Name,x,y,Kind\n' > small.csv
for row in a1,1,5,a a2,2,3,a a3,3,6,a a4,4,2,a b1,5,4,b b2,6,1,b b3,7,5,b b4,3.5,2,b \
  c1,8,3,c c2,9,6,c c3,10,2,c c4,6.5,4,c; do echo "$row" >> small.csv; done
"$lad" cv small.csv --folds 12 --grid-size 3 --degree 1 --json > loo.json
: > forecasts.csv
for i in $(seq 2 13); do
  awk -v i="$i" 'NR != i' small.csv > train.csv
  awk -v i="$i" 'NR == 1 || NR == i' small.csv > held.csv
  "$lad" build train.csv --name loo --grid-size 3 --degree 1 >/dev/null 2>&1
  "$lad" apply held.csv --name loo 2>/dev/null >> forecasts.csv
done
check "leave-one-out cv gives the matrix of lad build and lad apply of every split" \
  "$python" - loo.json forecasts.csv <<'PY'
import csv, json, sys
from sklearn.metrics import confusion_matrix
result = json.load(open(sys.argv[1]))
rows = list(csv.reader(open(sys.argv[2])))
assert len(rows) == 12, rows
matrix = confusion_matrix([r[1] for r in rows], [r[3] for r in rows], labels=result["classes"])
assert matrix.tolist() == result["pooled"]["confusion"], (matrix, result["pooled"]["confusion"])
PY

# Tuning iris ranks by the balanced accuracy over all three classes, the same at 1 and 2
# threads, and its best set's figures are that set's own cross-validation.
lists=(--grid-size 6 --degree "1;2" --positive-homogeneity "0.9;0.7" --positive-prevalence 0.05
  --negative-homogeneity 0.1 --negative-prevalence 0.05 --folds 3 --quiet)
out=$("$lad" tune iris.csv "${lists[@]}")
check "tune counts a build per class" \
  grep -q "^Tuning: 4 parameter sets, 3 folds each, 36 builds (a model per class); ranked by balanced-accuracy" <<<"$out"
check "tune shows the macro F1" grep -qE "AUC  Macro F1  Patterns$" <<<"$out"
check "tune names the best set" grep -q "^lad build iris.csv --grid-size 6 --degree [12] " <<<"$(tail -1 <<<"$out")"
"$lad" tune iris.csv "${lists[@]}" --json --threads 1 > tune1.json
"$lad" tune iris.csv "${lists[@]}" --json --threads 2 > tune2.json
best=$("$python" -c 'import json; p = json.load(open("tune1.json"))["ranked"][0]["parameters"]; print(p["degree"], p["positive_homogeneity"])')
read -r degree homogeneity <<<"$best"
"$lad" cv iris.csv --grid-size 6 --degree "$degree" --positive-homogeneity "$homogeneity" \
  --positive-prevalence 0.05 --negative-homogeneity 0.1 --negative-prevalence 0.05 --folds 3 \
  --json > best.json
check "tune ranks by balanced accuracy, ties to fewer patterns, at 1 and 2 threads alike, and its best set's figures are its cv's" \
  "$python" - tune1.json tune2.json best.json <<'PY'
import json, sys
def without_seconds(x):
    if isinstance(x, dict):
        return {k: without_seconds(v) for k, v in x.items() if k != "build_seconds"}
    return [without_seconds(v) for v in x] if isinstance(x, list) else x
one, two, best = (json.load(open(f)) for f in sys.argv[1:])
assert without_seconds(one) == without_seconds(two), "threads change the ranking"
assert one["builds"] == 36
key = lambda s: (-s["balanced_accuracy"]["mean"], -s["auc"]["mean"],
                 s["positive_patterns"]["mean"] + s["negative_patterns"]["mean"])
summaries = [s["summary"] for s in one["ranked"]]
assert summaries == sorted(summaries, key=key), "not ranked"
assert without_seconds(one["ranked"][0]["summary"]) == without_seconds(best["summary"])
PY
finish
