"""Ctrl+C during a long fit cancels the engine's build and raises KeyboardInterrupt, leaving
the estimator as it was."""

import signal
import subprocess
import sys
import time

from conftest import DATA

CHILD = f"""
import signal
# Tests started in the background by a shell without job control inherit Ctrl+C ignored, and
# Python then leaves it ignored; at a terminal it raises KeyboardInterrupt, as here.
signal.signal(signal.SIGINT, signal.default_int_handler)
import pandas as pd
from ladwb import LadClassifier
frame = pd.read_csv({str(DATA / "sonar.train.csv")!r})
X, y = frame.drop(columns=["Name", "Class"]), frame["Class"]
model = LadClassifier(degree=2, positive_homogeneity=0.9, positive_prevalence=0.05,
                      negative_homogeneity=0.1, negative_prevalence=0.05, threads=2).fit(X, y)
before = model.decision_function(X)
# Degree 4 searches 455,126 subsets of 59 attributes: minutes, far longer than the test waits.
model.set_params(degree=4)
print("fitting", flush=True)
try:
    model.fit(X.iloc[:, 1:], y)
    print("finished")
except KeyboardInterrupt:
    print("interrupted", flush=True)
print("as before:", model.n_features_in_ == 60 and (model.decision_function(X) == before).all())
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
    assert out.splitlines() == ["interrupted", "as before: True"]
    assert err == ""  # nothing printed unless asked
