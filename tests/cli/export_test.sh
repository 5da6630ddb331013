#!/usr/bin/env bash
# The exported scoring code run for real, and lad patterns / explain / export as a user runs
# them: export_test.sh PATH_TO_LAD C_COMPILER PYTHON3 SQLITE3
set -u
lad=$1
cc=$2
python=$3
sqlite=$4
here=$(cd "$(dirname "$0")" && pwd)
data=$here/../data
source "$(dirname "$0")/../checks.sh"

# Exports MODEL to all three languages, compiles the C one, and checks every score on each
# TABLE against lad apply. A table written text:TABLE is also loaded into SQLite as a user
# loads a CSV file, `.import --csv` into TEXT columns, and scored there by the SQL.
check_exports() {  # check_exports MODEL [text:]TABLE...
  local model=$1
  shift
  "$lad" export --name "$model" --to python -o "$model.py" >/dev/null
  "$lad" export --name "$model" --to c -o "$model.c" >/dev/null
  "$lad" export --name "$model" --to sql -o "$model.sql" >/dev/null
  cp "$model.h" model.h
  check "$model: the C export compiles as C99 without a warning" \
    "$cc" -std=c99 -Wall -Wextra -pedantic -Werror -I. -o "score_$model" "$here/score_rows.c" "$model.c"
  local table imported
  for table in "$@"; do
    imported=()
    if [[ $table == text:* ]]; then
      table=${table#text:}
      imported=(--imported)
    fi
    "$lad" apply "$table" --name "$model" > applied.txt 2>/dev/null
    "./score_$model" < "$table" > c_scores.txt
    check "$model on $table: Python, C and SQL${imported:+ (REAL and TEXT columns)} give lad apply's scores" \
      "$python" "$here/export_check.py" "$table" applied.txt "$model.py" c_scores.txt "$model.sql" "$sqlite" "${imported[@]}"
  done
}

cp "$data/sample/table.txt" sample.csv
"$lad" build sample.csv --quiet >/dev/null
"$python" "$here/random_table.py" LAD.MOD 300 11 > random.csv
check "the random table has 300 rows" test "$(wc -l < random.csv)" -eq 301
check_exports LAD text:sample.csv random.csv
# A model of the random table: cutpoints of 17 digits, which no short decimal gives. Its
# classes 0, 1 and 2 would make one model per class: class 1 is learned against the rest.
"$lad" build random.csv --quiet --name R --positive 1 >/dev/null
check_exports R text:sample.csv random.csv
# A real table: 14,589 patterns, so that the SQL sums nest three deep.
cp "$here/../../bench/data/sonar.csv" sonar.csv
"$lad" build sonar.csv --quiet --name W >/dev/null
"$python" "$here/random_table.py" W.MOD 300 14 > sonar-random.csv
check_exports W text:sonar.csv sonar-random.csv
# A pattern without conditions, an attribute named after the class column, a short line,
# values with spaces.
cp "$data/quirks/LAD.MOD" Q.MOD
cp "$data/quirks/table.txt" quirks.csv
"$python" "$here/random_table.py" Q.MOD 300 12 > quirks-random.csv
check_exports Q quirks.csv quirks-random.csv

# Cutpoints that some SQL engines read one double off when written as decimals.
printf '%s\r\n' 'Attributes=A,B' \
  'Cutpoints_Att_0=0.001711607713391,0.00391384500822778,0.007351317021914995' \
  'Cutpoints_Att_1=0.00994639234885726' 'Pospattern1=1:1:0' 'Pospattern2=3:3:0' \
  'Negpattern1=0:0:1' 'Negpattern2=2:2:0,1:1:1' > S.MOD
"$python" "$here/random_table.py" S.MOD 300 13 > s-random.csv
check_exports S s-random.csv

# Models without patterns on a side, or without any: the C compiles without a warning (no
# unused variable), and every export scores as lad apply does.
for sides in positive negative none; do
  {
    printf '%s\r\n' 'Attributes=A,B' 'Cutpoints_Att_0=0.5' 'Cutpoints_Att_1=-1,2'
    if [ $sides = positive ]; then printf '%s\r\n' 'Pospattern1=1:1:0' 'Pospattern2=0:1:1'; fi
    if [ $sides = negative ]; then printf '%s\r\n' 'Negpattern1=0:0:0,2:2:1'; fi
  } > "O$sides.MOD"
  "$python" "$here/random_table.py" "O$sides.MOD" 50 15 > "o$sides.csv"
  check_exports "O$sides" "o$sides.csv"
done

# A NULL value that a pattern reads makes the SQL score NULL.
out=$("$sqlite" :memory: "CREATE TABLE observations (Attr1 REAL, Attr2 REAL, Attr3 REAL, Attr4 REAL, Attr5 REAL, Attr6 REAL);
INSERT INTO observations VALUES (0.1, 0.1, 0.1, 0.1, 0.1, NULL);
SELECT coalesce($(cat LAD.sql), 'null') FROM observations;")
check "a NULL attribute gives a NULL score in SQL" test "$out" = "null"

# A column that the table lacks is an error, not a name read as a text; another table is
# scored under the name that the expression reads.
err=$("$sqlite" :memory: "CREATE TABLE observations (Attr1, Attr2, Attr3, Attr4, Attr5);
INSERT INTO observations VALUES (0.1, 0.1, 0.1, 0.1, 0.1);
SELECT $(cat LAD.sql) FROM observations;" 2>&1)
check "SQL on a table without a column the model reads fails" test $? -ne 0
check "and names the column" grep -q "no such column: observations.Attr6" <<<"$err"
printf 'N,Attr1,Attr2,Attr3,Attr4,Attr5,Attr6,Class\nx,0.1,0.1,0.1,0.1,0.1,0.1,1\n' > one.csv
out=$("$sqlite" :memory: "CREATE TABLE mine (Attr1, Attr2, Attr3, Attr4, Attr5, Attr6);
INSERT INTO mine VALUES ('0.1', '0.1', '0.1', '0.1', '0.1', '0.1');
SELECT $(cat LAD.sql) FROM mine AS observations;")
check "SQL scores another table named observations in the query" \
  test "$out" = "$("$lad" apply one.csv | cut -d, -f3)"

# More than 1000 attributes used: every chain of the SQL is nested below SQLite's depth limit
# of 1000.
"$python" -c '
import random
g = random.Random(7)
print("Name," + ",".join(f"V{k}" for k in range(1100)) + ",Class")
for r in range(24):
    print(f"o{r}," + ",".join(str(g.randint(0, 99) / 4) for _ in range(1100)) + f",{r % 2}")
' > wide.csv
"$lad" build wide.csv --degree 1 --positive-prevalence 0.3 --negative-prevalence 0.3 --quiet \
  --name Wide >/dev/null
check_exports Wide text:wide.csv
used=$(grep -c ' IS NULL$' Wide.sql)
check "the wide model reads more than 1000 attributes ($used)" test "$used" -gt 1000

# A spreadsheet's table with a column of categories and missing values: the exports read the
# table's own columns, a category as its text, and score every row as lad apply does, new data
# with a category never seen in training too.
cp "$here/../tables/patients.csv" "$here/../tables/patients-new.csv" .
"$lad" build patients.csv --name pt --positive sick --ignore "sample date" --grid-size 3 \
  --quiet >/dev/null 2>&1
"$lad" export --name pt --to python -o pt.py >/dev/null &&
  "$lad" export --name pt --to c -o pt.c >/dev/null &&
  "$lad" export --name pt --to sql -o pt.sql >/dev/null
check "the model of the table with categories is exported to Python, C and SQL" test $? -eq 0
check "its conditions compare the texts of the colour column" \
  grep -q 'x1 == "red"\|x1 != "red"' pt.py
cp pt.h model.h
for table in patients.csv patients-new.csv; do
  "$lad" apply "$table" --name pt > applied.txt 2>/dev/null
  check "pt on $table: Python, C and SQL, given the table's texts or their own missing values, give lad apply's scores" \
    "$python" "$here/export_table_check.py" "$table" pt.TBL applied.txt pt "$cc" "$sqlite"
done
# Category values that are code in each language reach it only as texts: every row still
# scores as lad apply gives it.
"$python" - <<'PY'
import csv
shades = ["it's \"odd\" \\", "x' OR 1=1; --", "\"); import os #", "plain", "?"]
with open("odd.csv", "w", newline="", encoding="utf-8") as f:
    w = csv.writer(f, delimiter=";")
    w.writerow(["id", "shade", "size", "class"])
    for i in range(20):
        w.writerow([f"r{i}", shades[i % 5], str(1 + i % 2), int(i % 5 < 2)])
PY
"$lad" build odd.csv --name odd --degree 2 --positive-prevalence 0.1 --negative-prevalence 0.1 \
  --quiet >/dev/null 2>&1 &&
  "$lad" export --name odd --to python -o odd.py >/dev/null &&
  "$lad" export --name odd --to c -o odd.c >/dev/null &&
  "$lad" export --name odd --to sql -o odd.sql >/dev/null
check "a table of category values with quotes and backslashes is exported" test $? -eq 0
check "its patterns compare them" grep -q '^    if x0 == "x'"'"' OR 1=1; --":' odd.py
cp odd.h model.h
"$lad" apply odd.csv --name odd > applied.txt 2>/dev/null
check "its exports score every row as lad apply does" \
  "$python" "$here/export_table_check.py" odd.csv odd.TBL applied.txt odd "$cc" "$sqlite"

check "the Python names a column that the row lacks" "$python" -c '
import pt
try:
    pt.score({"age": 40})
except KeyError as e:
    assert e.args == ("colour",) or e.args == ("weight",), e.args
else:
    raise SystemExit("no KeyError")'

# A NUL in a name: a table with one is refused at intake; a model file with one is exported to
# Python and C escaped, and not to SQL, where the sqlite3 shell would end the line at the NUL
# inside the quoted name and run the next attribute's name as SQL.
injected='n\0, IS NULL THEN 1 END FROM observations;DROP TABLE canary;--'
printf "Name,$injected,B,Class\nx,1,2,1\ny,2,1,0\n" > nul.csv
err=$("$lad" build nul.csv --quiet --name Nul 2>&1 >/dev/null)
check "a header with a NUL is refused" test $? -eq 1
check "and the message says which column" test "$err" = \
  "Column 2 of the header holds the control character 0x00 after 'n'; a name may hold no control characters (bytes 0x00 to 0x1F and 0x7F)"
printf "Attributes=$injected,B\r\nCutpoints_Att_0=1.5\r\nCutpoints_Att_1=1.5\r\nPospattern1=1:1:0\r\nNegpattern1=0:0:0,1:1:1\r\n" > Nul.MOD
"$lad" export --name Nul --to sql -o nul.sql 2>/dev/null
check "a model with a NUL in a used name is not exported to SQL" test $? -eq 1 -a ! -e nul.sql
"$lad" export --name Nul --to python -o nul.py >/dev/null &&
  "$lad" export --name Nul --to c -o nul.c >/dev/null
check "it is exported to Python and C" test $? -eq 0
check "the Python reads the name escaped" "$python" -c '
import importlib.util as u
s = u.spec_from_file_location("m", "nul.py")
m = u.module_from_spec(s)
s.loader.exec_module(m)
assert m.ATTRIBUTES[:2] == ("n\0", " IS NULL THEN 1 END FROM observations;DROP TABLE canary;--")
assert m.score({m.ATTRIBUTES[0]: 2, m.ATTRIBUTES[1]: 0}) == 1.0'
check "the C compiles" "$cc" -std=c99 -Wall -Wextra -pedantic -Werror -c -o nul.o nul.c

finish
