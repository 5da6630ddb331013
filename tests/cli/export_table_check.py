"""Checks the exports of a model learned from a table with categories against lad apply.

export_table_check.py TABLE LAYOUT APPLY_OUTPUT MODEL_BASE CC SQLITE3

TABLE is a ";"-separated table as a spreadsheet writes it (decimal commas, missing values as
"", "?" or "NA"), LAYOUT the model's NAME.TBL, APPLY_OUTPUT what lad apply gave for TABLE
(name,class,score lines), MODEL_BASE the exports MODEL_BASE.py, MODEL_BASE.c (with its header
model.h beside it) and MODEL_BASE.sql. Every row is scored by each export twice: with its
values as the table holds them (texts, the missing ones as written), and with its missing
values as the language writes them (None or NaN in Python, NaN or NULL in C, NULL in SQL).
Every score must be lad apply's, printed with 15 significant digits as lad prints it, and
Python, C and SQL must agree to the last bit. Prints one line per failure.
"""

import csv
import importlib.machinery
import json
import math
import os
import sqlite3
import subprocess
import sys
import tempfile
import types

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from export_check import number_text  # noqa: E402


def load_module(path):
    loader = importlib.machinery.SourceFileLoader("exported_table_model", path)
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    return module


def c_text(text):
    """A C string literal of the text (NULL for None), every byte but plain ones escaped."""
    if text is None:
        return "NULL"
    return '"' + "".join(chr(b) if chr(b).isalnum() and b < 128 or chr(b) in " ,.=-"
                         else "\\%03o" % b for b in text.encode("utf-8")) + '"'


def main():
    table, layout_file, applied, base, cc, sqlite3_program = sys.argv[1:7]
    with open(layout_file, encoding="utf-8") as f:
        layout = json.load(f)
    missing = layout["missing"]
    columns = []  # (name, is_category), each column once
    for a in layout["attributes"]:
        if all(name != a["column"] for name, _ in columns):
            columns.append((a["column"], "value" in a))
    with open(table, encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, delimiter=";"))
    with open(applied, encoding="utf-8") as f:
        expected = [line.rstrip("\n").split(",")[-1] for line in f]

    def known(text):
        return text.strip(" \t") not in missing

    def as_number(text):
        return float(text.replace(",", ".")) if known(text) else math.nan

    def native(row):
        """The row with its missing values as Python has them: None for a category, NaN or
        None for a number, alternately."""
        out = dict(row)
        for i, (name, category) in enumerate(columns):
            if not known(row[name]):
                out[name] = None if category or i % 2 else math.nan
        return out

    module = load_module(base + ".py")
    scores = {"Python (texts)": [module.score(row) for row in rows],
              "Python (None, NaN)": [module.score(native(row)) for row in rows]}

    # C: the rows as literals of a program that prints each score, once with the texts as
    # written and once with NULL for a missing category.
    lines = ["#include <math.h>", "#include <stdio.h>", '#include "model.h"', "",
             "int main(void)", "{"]
    for variant in ("texts", "NULL"):
        for row in rows:
            values = ", ".join(repr(as_number(row[n])).replace("nan", "NAN")
                               if not c else "0" for n, c in columns)
            texts = ", ".join(
                "NULL" if not c else c_text(row[n] if variant == "texts" or known(row[n])
                                            else None) for n, c in columns)
            lines.append(f"    {{ const double v[] = {{{values}}}; const char *t[] = {{{texts}}};"
                         ' printf("%a\\n", lad_score(v, t)); }')
    lines += ["    return 0;", "}"]
    with tempfile.TemporaryDirectory() as folder:
        program = os.path.join(folder, "score")
        source = os.path.join(folder, "rows.c")
        with open(source, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        subprocess.run([cc, "-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", "-I.",
                        "-o", program, source, base + ".c"], check=True)
        out = subprocess.run([program], check=True, capture_output=True, text=True).stdout
        from_c = [float.fromhex(x) for x in out.split()]
        scores["C (texts)"] = from_c[:len(rows)]
        scores["C (NULL, NaN)"] = from_c[len(rows):]

        # SQL: numbers as doubles, categories as texts; missing values as written, or NULL.
        with open(base + ".sql", encoding="utf-8") as f:
            expression = f.read()
        database = os.path.join(folder, "table.db")
        connection = sqlite3.connect(database)
        quoted = ", ".join('"' + n.replace('"', '""') + '"' for n, _ in columns)
        for variant in ("texts", "nulls"):
            connection.execute(f"CREATE TABLE {variant} ({quoted})")
            connection.executemany(
                f"INSERT INTO {variant} VALUES ({', '.join('?' * len(columns))})",
                [[(row[n] if c else as_number(row[n])) if known(row[n])
                  else (row[n] if variant == "texts" else None) for n, c in columns]
                 for row in rows])
        connection.commit()
        connection.close()
        statements = "".join(
            f"CREATE TABLE scores_{v} AS SELECT rowid AS r, {expression} AS score "
            f"FROM {v} AS observations;\n" for v in ("texts", "nulls"))
        subprocess.run([sqlite3_program, "-bail", database], input=statements, text=True,
                       check=True)
        connection = sqlite3.connect(database)
        for v, label in (("texts", "SQL (texts)"), ("nulls", "SQL (NULL)")):
            scores[label] = [r[0] for r in
                             connection.execute(f"SELECT score FROM scores_{v} ORDER BY r")]
        connection.close()

    failures = 0
    for label, got in scores.items():
        if len(got) != len(expected):
            print(f"{label} gave {len(got)} scores for {len(expected)} rows")
            failures += 1
            continue
        for i, (value, want) in enumerate(zip(got, expected)):
            first = scores["Python (texts)"][i]
            if value is None or number_text(value) != want or value != first:
                print(f"row {i + 1} ({rows[i][next(iter(rows[i]))]}): {label} gives {value!r}, "
                      f"lad apply {want}, Python {first!r}")
                failures += 1
    print(f"{len(rows)} rows checked in {len(scores)} ways, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
