"""Shared fixtures: the project's tables and the `lad` command line to compare with."""

import os
import subprocess
from pathlib import Path

import pandas as pd
import pytest

ROOT = Path(__file__).resolve().parents[2]
DATA = ROOT / "bench" / "data"
# The thresholds that suit the real tables (`lad tune` picks sets near these).
REAL = dict(positive_homogeneity=0.9, positive_prevalence=0.05, negative_homogeneity=0.1,
            negative_prevalence=0.05)
REAL_OPTIONS = ["--positive-homogeneity", "0.9", "--positive-prevalence", "0.05",
                "--negative-homogeneity", "0.1", "--negative-prevalence", "0.05"]


@pytest.fixture(scope="session")
def lad():
    """The `lad` program: $LAD, else the normal build's."""
    path = Path(os.environ.get("LAD", ROOT / "build" / "cli" / "lad"))
    if not path.is_file():
        pytest.fail(f"lad not found at {path}: build it (scripts/build.sh build) or set LAD")
    return str(path)


def read_table(name, **options):
    """A table of bench/data as X (a DataFrame) and y; values read exactly."""
    frame = pd.read_csv(DATA / name, float_precision="round_trip", **options)
    return frame.drop(columns=["Name", "Class"]), frame["Class"]


def run_lad(lad, *arguments, cwd):
    return subprocess.run([lad, *arguments], cwd=cwd, check=True, capture_output=True,
                          text=True).stdout
