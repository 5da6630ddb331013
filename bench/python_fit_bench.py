"""The Python package's overhead: LadClassifier.fit on sonar.train at degree 3 against `lad
build` of the same table, with the same parameters and threads.

    python3 bench/python_fit_bench.py LAD [--repeat N] [--threads T]

LAD is the lad program (build/cli/lad); ladwb must be importable (scripts/python-test.sh
installs it into build-python/venv). `lad build` also writes the four model files, so the
fair pair is fit + save against it; fit alone is shown too. N runs of each, taken in turn so
that other work on the machine weighs on both alike; the best and the median are shown."""

import argparse
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pandas as pd

from ladwb import LadClassifier, _engine

TABLE = Path(__file__).resolve().parent / "data" / "sonar.train.csv"
PARAMETERS = dict(grid_size=8, degree=3, positive_homogeneity=0.9, positive_prevalence=0.05,
                  negative_homogeneity=0.1, negative_prevalence=0.05)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lad", type=lambda p: str(Path(p).resolve()))
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--threads", type=int, default=2)
    args = parser.parse_args()

    frame = pd.read_csv(TABLE, float_precision="round_trip")
    X, y = frame.drop(columns=["Name", "Class"]), frame["Class"]
    options = [f"--{k.replace('_', '-')}={v}" for k, v in PARAMETERS.items()]
    times = {"lad build": [], "fit": [], "fit + save": [], "table text": []}
    with tempfile.TemporaryDirectory() as folder:
        for _ in range(args.repeat):
            started = time.perf_counter()
            subprocess.run([args.lad, "build", str(TABLE), "--quiet", "--name", "cli",
                            f"--threads={args.threads}", *options], cwd=folder, check=True,
                           stdout=subprocess.DEVNULL)
            times["lad build"].append(time.perf_counter() - started)

            started = time.perf_counter()
            model = LadClassifier(threads=args.threads, **PARAMETERS).fit(X, y)
            fitted = time.perf_counter()
            model.save(str(Path(folder) / "py"))
            saved = time.perf_counter()
            times["fit"].append(fitted - started)
            times["fit + save"].append(saved - started)
            del model

            started = time.perf_counter()
            _engine.table_text(list(X.columns), X.to_numpy(), y.to_numpy().astype("intc"))
            times["table text"].append(time.perf_counter() - started)

        same = all((Path(folder) / f"cli.{e}").read_bytes() == (Path(folder) / f"py.{e}").read_bytes()
                   for e in ("MOD", "PAT", "DES", "GRD"))
    best = {k: min(v) for k, v in times.items()}
    median = {k: statistics.median(v) for k, v in times.items()}
    print(f"sonar.train ({len(X)} rows x {X.shape[1]} attributes), degree 3, grid size 8, "
          f"0.9/0.05/0.1/0.05, {args.threads} threads, {args.repeat} runs")
    print(f"  {'':<12} {'best':>8}   {'median':>8}")
    for name in times:
        print(f"  {name:<12} {best[name]:8.3f} s {median[name]:8.3f} s")
    for figure, values in (("best", best), ("median", median)):
        overhead = values["fit + save"] / values["lad build"] - 1
        print(f"  fit + save against lad build, {figure}: {overhead:+.1%}")
    print(f"  files byte-identical: {same}")
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
