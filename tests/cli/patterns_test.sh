#!/usr/bin/env bash
# lad patterns, lad explain and lad export as a user runs them: patterns_test.sh LAD PYTHON3
set -u
lad=$1
python=$2
source "$(dirname "$0")/../checks.sh"

"$lad" build --quiet >/dev/null

out=$("$lad" patterns)
check "patterns counts patterns and rows" \
  grep -qx "113 positive and 91 negative patterns; the table has 8 rows of class 1 and 8 of class 0." <<<"$out"
check "patterns lists every pattern under a header" test "$(wc -l <<<"$out")" -eq 206
check "a pattern line gives its statistics and rule" \
  grep -qE '^P1 +1 +1 +8 +4 +1 +0\.6667  -0\.294350809 <= Attr6 < 0\.334246251$' <<<"$out"

out=$("$lad" patterns --sort prevalence --top 3 --csv)
check "CSV: a header and the top 3" test "$(wc -l <<<"$out")" -eq 4
check "CSV: the best prevalence first, full digits" \
  test "$(sed -n 2p <<<"$out")" = "P1,1,1,8,4,1,0.666666666666667,-0.294350809 <= Attr6 < 0.334246251"
out=$("$lad" patterns --sort degree --json)
check "JSON: an array of every pattern" \
  "$python" -c "import json,sys; p=json.load(sys.stdin); assert len(p)==204 and p[0]['degree']==1 and p[-1]['degree']==2" <<<"$out"

"$lad" patterns --csv --json >/dev/null 2>&1
check "--csv and --json together is a usage error" test $? -eq 2
"$lad" patterns --sort size >/dev/null 2>&1
check "an unknown sort key is a usage error" test $? -eq 2

printf 'Name,Attr1,Attr2,Class\nx,1,2,1\n' > narrow.csv
err=$("$lad" patterns narrow.csv 2>&1 >/dev/null)
check "a table without the model's columns exits 1" test $? -eq 1
check "and says which attribute is missing" \
  test "$err" = "The model's patterns use attribute 6 (Attr6), but the data table has 2 attribute column(s)"
printf 'Name,A1,Attr2,Attr3,Attr4,Attr5,Attr6,Class\nx,1,2,3,4,5,6,1\n' > renamed.csv
err=$("$lad" patterns renamed.csv 2>&1 >/dev/null)
check "a column of another name is warned about" grep -q "^Warning: Column 2 of the table is named 'A1'" <<<"$err"

out=$("$lad" explain Obs1 Obs2)
check "explain: the score as lad apply gives it" grep -qx "Obs1 (line 2, class 1): score 0.649324127200233" <<<"$out"
check "explain: how it is counted" grep -qx "  = 92/113 positive patterns - 15/91 negative patterns" <<<"$out"
check "explain: every row named" grep -qx "Obs2 (line 3, class 0): score -0.163376446562287" <<<"$out"
check "explain: a near miss on a cutpoint" \
  grep -qx "  N1    Attr6 < -0.294350809 fails: Attr6 is -0.294350809; lower it below -0.294350809 (it lies on it) -> score 0.567538656034231" <<<"$out"
printf 'Name,Attr1,Attr2,Attr3,Attr4,Attr5,Attr6,Class\nnew,0,0,0,0,0,0,?\n' > new.csv
out=$("$lad" explain new.csv new)
check "explain: a table file, a row of no class" grep -q "^new (line 2, class ?): score " <<<"$out"
err=$("$lad" explain Obs99 2>&1 >/dev/null)
check "explain: an unknown row exits 1" test $? -eq 1
check "explain: and is named" test "$err" = "The table has no observation named 'Obs99'"
"$lad" explain >/dev/null 2>&1
check "explain without a row is a usage error" test $? -eq 2
err=$("$lad" explain - 2>&1 >/dev/null </dev/null)
check "explain - alone exits 1" test $? -eq 1
check "explain - reads standard input and needs a row" grep -q '^"-" reads the table from standard input: name at least one row after it' <<<"$err"

out=$("$lad" explain - new < new.csv)
check "explain - ROW reads the table from standard input" grep -q "^new (line 2, class ?): score " <<<"$out"

out=$("$lad" export --to c -o models/m.c 2>&1)
check "export into a missing folder exits 1" test $? -eq 1
mkdir models
out=$("$lad" export --to c -o models/m.c)
check "export -o for C writes the file and its header" test "$out" = $'models/m.h\nmodels/m.c'
check "the C file names its header" grep -q "Declared in m.h" models/m.c
check "the header guards itself" grep -qx "#ifndef LAD_MODEL_M_H_" models/m.h
out=$("$lad" export --to sql)
check "export without -o prints the code" grep -q "^  ELSE 0.0$" <<<"$out"
"$lad" export --to java >/dev/null 2>&1
check "an unknown language is a usage error" test $? -eq 2
cp LAD.MOD 'odd\N"""name.MOD'
"$lad" export --name 'odd\N"""name' --to python -o odd.py >/dev/null
check "a model name with a backslash and quotes leaves the Python module valid" \
  "$python" -c 'import ast; ast.parse(open("odd.py").read())'
printf 'Attributes=A,A\r\nCutpoints_Att_0=1\r\nCutpoints_Att_1=1\r\nPospattern1=0:0:0,1:1:1\r\n' > twins.MOD
echo "keep" > twins.py
err=$("$lad" export --name twins --to python -o twins.py 2>&1 >/dev/null)
check "a model with two attributes of one name is not exported to Python" test $? -eq 1
check "and says why" test "$err" = "Two attributes of the model are named 'A'; the Python export reads values by name."
check "and leaves the file as it was" test "$(cat twins.py)" = keep

cp LAD.MOD kept.MOD
"$lad" export --to python -o LAD.MOD >/dev/null 2>&1
check "an export never writes over the model's own file" test $? -eq 1
check "and the model stays as it was" cmp -s LAD.MOD kept.MOD
err=$("$lad" export --to c -o m.h 2>&1 >/dev/null)
check "a C file named like a header is refused" grep -q "would be named like a header" <<<"$err"

err=$("$lad" explain nosuch.csv Obs1 2>&1 >/dev/null)
check "a mistyped table for explain is said to be missing" grep -q '^Cannot open file ".*nosuch.csv"' <<<"$err"

finish
