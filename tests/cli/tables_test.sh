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
finish
