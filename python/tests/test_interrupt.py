"""Ctrl+C during a long fit cancels the engine's build and raises KeyboardInterrupt, leaving
the process able to fit again."""

import signal
import subprocess
import sys
import time

from conftest import DATA

CHILD = f"""
import sys, time, pandas as pd
from ladwb import LadClassifier
frame = pd.read_csv({str(DATA / "sonar.train.csv")!r})
X, y = frame.drop(columns=["Name", "Class"]), frame["Class"]
# Degree 4 on sonar searches 487,635 subsets: minutes, far longer than the test waits.
model = LadClassifier(degree=4, positive_homogeneity=0.9, positive_prevalence=0.05,
                      negative_homogeneity=0.1, negative_prevalence=0.05, threads=2)
print("fitting", flush=True)
started = time.monotonic()
try:
    model.fit(X, y)
    print("finished")
except KeyboardInterrupt:
    print("interrupted", flush=True)
print("fitted again:", model.set_params(degree=2).fit(X, y).n_positive_patterns_ > 0)
"""


def test_ctrl_c_cancels_a_fit():
    child = subprocess.Popen([sys.executable, "-c", CHILD], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    try:
        assert child.stdout.readline() == "fitting\n"
        time.sleep(1.5)  # well inside the search
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=120)
    finally:
        child.kill()
    assert child.returncode == 0, err
    assert out.splitlines() == ["interrupted", "fitted again: True"]
    assert err == ""  # nothing printed unless asked
