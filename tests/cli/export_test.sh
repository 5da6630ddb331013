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
# TABLE against lad apply.
check_exports() {  # check_exports MODEL TABLE...
  local model=$1
  shift
  "$lad" export --name "$model" --to python -o "$model.py" >/dev/null
  "$lad" export --name "$model" --to c -o "$model.c" >/dev/null
  "$lad" export --name "$model" --to sql -o "$model.sql" >/dev/null
  cp "$model.h" model.h
  check "$model: the C export compiles as C99 without a warning" \
    "$cc" -std=c99 -Wall -Wextra -pedantic -Werror -I. -o "score_$model" "$here/score_rows.c" "$model.c"
  local table
  for table in "$@"; do
    "$lad" apply "$table" --name "$model" > applied.txt
    "./score_$model" < "$table" > c_scores.txt
    check "$model on $table: Python, C and SQL give lad apply's scores" \
      "$python" "$here/export_check.py" "$table" applied.txt "$model.py" c_scores.txt "$model.sql" "$sqlite"
  done
}

cp "$data/sample/table.txt" sample.csv
"$lad" build sample.csv --quiet >/dev/null
"$python" "$here/random_table.py" LAD.MOD 300 11 > random.csv
check "the random table has 300 rows" test "$(wc -l < random.csv)" -eq 301
check_exports LAD sample.csv random.csv
# A model of the random table: cutpoints of 17 digits, which no short decimal gives.
"$lad" build random.csv --quiet --name R >/dev/null
check_exports R sample.csv random.csv
# A real table: 14,589 patterns, so that the SQL sums nest three deep.
cp "$here/../../bench/data/sonar.csv" sonar.csv
"$lad" build sonar.csv --quiet --name W >/dev/null
"$python" "$here/random_table.py" W.MOD 300 14 > sonar-random.csv
check_exports W sonar.csv sonar-random.csv
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

# A NULL value that a pattern reads makes the SQL score NULL.
out=$("$sqlite" :memory: "CREATE TABLE t (Attr1 REAL, Attr2 REAL, Attr3 REAL, Attr4 REAL, Attr5 REAL, Attr6 REAL);
INSERT INTO t VALUES (0.1, 0.1, 0.1, 0.1, 0.1, NULL);
SELECT coalesce($(cat LAD.sql), 'null') FROM t;")
check "a NULL attribute gives a NULL score in SQL" test "$out" = "null"

finish
