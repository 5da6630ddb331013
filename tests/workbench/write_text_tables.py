"""Writes the tables that TextTableTest reads, as pandas and liac-arff write them.

    write_text_tables.py pandas|liac-arff FOLDER

Exits 77 when the library is not installed.
"""
import csv
import sys

kind, folder = sys.argv[1], sys.argv[2]

if kind == "pandas":
    try:
        import numpy as np
        import pandas as pd
    except ImportError:
        sys.exit(77)
    frame = pd.DataFrame({
        "x": [1.5, np.nan, -3.25, 4.0],
        'label, "quoted"': ["plain", 'with "quotes", and a comma', "two\nlines", None],
        "class": [1, 0, 1, 0],
    })
    frame.to_csv(f"{folder}/nonnumeric.csv", quoting=csv.QUOTE_NONNUMERIC)
    frame.to_csv(f"{folder}/minimal.csv")
    # As Excel in a decimal-comma locale saves it: a byte-order mark, ';' and CR LF.
    frame.to_csv(f"{folder}/excel.csv", sep=";", decimal=",", encoding="utf-8-sig",
                 lineterminator="\r\n")
elif kind == "liac-arff":
    try:
        import arff
    except ImportError:
        sys.exit(77)
    table = {
        "relation": "colours",
        "attributes": [
            ("x", "REAL"),
            ("colour name", ["red", "dark blue", "o'range"]),
            ("it's", "STRING"),
            ("class", ["yes", "no"]),
        ],
        "data": [
            [1.5, "red", "plain", "yes"],
            [None, "dark blue", "with 'quotes', a comma \\ and %", "no"],
            [-3.25, None, "tab\there", "yes"],
            [4.0, "o'range", "", "no"],
        ],
    }
    with open(f"{folder}/liac.arff", "w", encoding="utf-8") as out:
        out.write(arff.dumps(table))
else:
    sys.exit(f"unknown kind {kind}")
