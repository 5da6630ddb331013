"""Checks the exported scoring code of a model against lad apply, line for line.

export_check.py TABLE APPLY_OUTPUT MODULE.py C_SCORES SQL_EXPRESSION SQLITE3 [--imported]

TABLE is the data table that lad apply scored into APPLY_OUTPUT (name,class,score lines).
MODULE.py is the Python export, C_SCORES the C export's scores of TABLE (one %a per line),
SQL_EXPRESSION the SQL export, run here with the sqlite3 program on TABLE loaded into a
database with REAL columns. Every score, printed with 15 significant digits as lad prints it,
must equal lad apply's; and the three exports must agree to the last bit. With --imported the
SQL also runs on TABLE as a user loads it, `.import --csv` into TEXT columns (for tables of
short decimals only: SQLite reads some long ones one bit off). Prints one line per failure.
"""

import decimal
import importlib.machinery
import os
import sqlite3
import subprocess
import sys
import tempfile
import types


def number_text(value):
    """A real as lad writes it: 15 significant digits, ties away from zero, trailing zeros
    dropped, fixed from 1E-4 up to 999999999999999, scientific outside (1.5E-5)."""
    if value == 0:
        return "0"
    exact = decimal.Decimal(value)
    sign = "-" if exact < 0 else ""
    exact = abs(exact)
    exponent = exact.adjusted()
    with decimal.localcontext() as context:
        context.prec = 1000  # every digit of a double: no rounding before the one below
        scaled = exact.scaleb(-exponent).quantize(
            decimal.Decimal("1.00000000000000"), rounding=decimal.ROUND_HALF_UP)
        if scaled >= 10:
            scaled = (scaled / 10).quantize(decimal.Decimal("1.00000000000000"))
            exponent += 1
    digits = str(scaled).replace(".", "").rstrip("0")
    if -4 <= exponent <= 14:
        if exponent < 0:
            return sign + "0." + "0" * (-exponent - 1) + digits
        if len(digits) <= exponent + 1:
            return sign + digits + "0" * (exponent + 1 - len(digits))
        return sign + digits[:exponent + 1] + "." + digits[exponent + 1:]
    text = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
    return sign + text + "E" + str(exponent)


def read_table(path):
    """Header names and rows (name, values) as lad reads them: missing trailing values are 0."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    lines = [line[:-1] if line.endswith("\r") else line for line in lines]
    if lines and lines[-1] == "":
        lines.pop()
    header = lines[0].split(",")
    names = header[1:-1]
    rows = []
    for line in lines[1:]:
        fields = line.split(",")
        values = [float(x) for x in fields[1:-1]]
        values += [0.0] * (len(names) - len(values))
        rows.append((fields[0], values))
    return names, rows


def python_scores(module_path, names, rows):
    # Loaded from its path, as a user's script would import the exported file.
    loader = importlib.machinery.SourceFileLoader("exported_model", module_path)
    module = types.ModuleType(loader.name)
    loader.exec_module(module)
    return [module.score(dict(zip(names, values))) for _, values in rows]


def sql_scores(expression_path, sqlite3_program, names, rows):
    with open(expression_path, encoding="utf-8") as f:
        expression = f.read()
    quoted = ['"' + name.replace('"', '""') + '"' for name in names]
    with tempfile.TemporaryDirectory() as folder:
        database = os.path.join(folder, "table.db")
        connection = sqlite3.connect(database)
        connection.execute("CREATE TABLE observations (Name TEXT, " +
                           ", ".join(q + " REAL" for q in quoted) + ")")
        # Bound as binary doubles: the values are exactly those lad reads.
        connection.executemany(
            "INSERT INTO observations VALUES (?" + ", ?" * len(names) + ")",
            [[name] + values for name, values in rows])
        connection.commit()
        connection.close()
        statement = ("CREATE TABLE scores AS SELECT rowid AS r, " + expression +
                     " AS score FROM observations;\n")
        subprocess.run([sqlite3_program, database], input=statement, text=True, check=True)
        connection = sqlite3.connect(database)
        scores = [row[0] for row in connection.execute("SELECT score FROM scores ORDER BY r")]
        connection.close()
    return scores


def imported_sql_scores(expression_path, sqlite3_program, table):
    """The SQL export run by the sqlite3 program on TABLE loaded by `.import --csv`, which
    makes every column TEXT."""
    with open(expression_path, encoding="utf-8") as f:
        expression = f.read()
    with tempfile.TemporaryDirectory() as folder:
        database = os.path.join(folder, "table.db")
        statements = (".bail on\n.import --csv '" + table.replace("'", "''") +
                      "' observations\nCREATE TABLE scores AS SELECT rowid AS r, " +
                      expression + " AS score FROM observations;\n")
        subprocess.run([sqlite3_program, database], input=statements, text=True, check=True)
        connection = sqlite3.connect(database)
        types = {row[2] for row in connection.execute("PRAGMA table_info(observations)")}
        if types != {"TEXT"}:
            print(f".import made columns of types {types}, not TEXT")
        scores = [row[0] for row in connection.execute("SELECT score FROM scores ORDER BY r")]
        connection.close()
    return scores


def main():
    table, applied, module, c_scores, sql_expression, sqlite3_program = sys.argv[1:7]
    imported = sys.argv[7:] == ["--imported"]
    names, rows = read_table(table)
    with open(applied, encoding="utf-8") as f:
        expected = [line.rstrip("\n").split(",") for line in f]
    with open(c_scores, encoding="utf-8") as f:
        from_c = [float.fromhex(line.strip()) for line in f]
    from_python = python_scores(module, names, rows)
    from_sql = sql_scores(sql_expression, sqlite3_program, names, rows)
    from_text = imported_sql_scores(sql_expression, sqlite3_program, table) if imported else None
    failures = 0
    for count, label in ((len(expected), "lad apply"), (len(from_c), "C"),
                         (len(from_python), "Python"), (len(from_sql), "SQL"),
                         (len(from_text if imported else rows), "SQL on text columns")):
        if count != len(rows):
            print(f"{label} gave {count} scores for {len(rows)} rows")
            failures += 1
    for i, (name, _) in enumerate(rows):
        if i >= min(len(expected), len(from_c), len(from_python), len(from_sql)):
            break
        want = expected[i][-1]
        checked = [("Python", from_python[i]), ("C", from_c[i]), ("SQL", from_sql[i])]
        if imported and i < len(from_text):
            checked.append(("SQL on text columns", from_text[i]))
        for label, value in checked:
            if value is None or number_text(value) != want:
                print(f"row {i + 1} ({name}): {label} gives {value!r}, lad apply {want}")
                failures += 1
        if not (from_python[i] == from_c[i] == from_sql[i]):
            print(f"row {i + 1} ({name}): Python {from_python[i]!r}, C {from_c[i]!r}, "
                  f"SQL {from_sql[i]!r} differ")
            failures += 1
    print(f"{len(rows)} rows checked, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
