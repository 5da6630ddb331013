"""The package against the command line on the real tables: the same scores as `lad apply`
and the same four files as `lad build`."""

import io

import numpy as np
import pandas as pd
import pytest
from conftest import DATA, REAL, REAL_OPTIONS, read_table, run_lad

from ladwb import LadClassifier

MODEL_FILES = ("MOD", "PAT", "DES", "GRD")


@pytest.mark.parametrize("table", ["sonar", "wdbc"])
def test_scores_and_files_are_those_of_lad(lad, tmp_path, table):
    train, test = DATA / f"{table}.train.csv", DATA / f"{table}.test.csv"
    run_lad(lad, "build", str(train), "--quiet", "--name", "cli", *REAL_OPTIONS, cwd=tmp_path)
    forecast = run_lad(lad, "apply", str(test), "--name", "cli", cwd=tmp_path).splitlines()

    X, y = read_table(train.name)
    model = LadClassifier(**REAL).fit(X, y)
    X_test, y_test = read_table(test.name)
    scores = model.decision_function(X_test)
    # lad prints 15 significant digits.
    assert [float(line.split(",")[2]) for line in forecast] == [float(f"{s:.15g}") for s in scores]
    np.testing.assert_array_equal(model.predict(X_test), np.where(scores > 0, 1, 0))

    # A frame read as texts gives the same files as one read as exact numbers, and one thread
    # the same model as every core.
    texts = LadClassifier(threads=1, **REAL).fit(*read_table(train.name, dtype=str))
    np.testing.assert_array_equal(texts.decision_function(X_test), scores)
    for fitted, name in ((model, "numbers"), (texts, "texts")):
        written = fitted.save(str(tmp_path / name))
        assert written == [str(tmp_path / f"{name}.{e}") for e in ("PAT", "DES", "GRD", "MOD")]
        for extension in MODEL_FILES:
            ours = (tmp_path / f"{name}.{extension}").read_bytes()
            assert ours == (tmp_path / f"cli.{extension}").read_bytes(), (name, extension)


def test_loaded_model_and_patterns_match_lad(lad, tmp_path):
    train, test = DATA / "wdbc.train.csv", DATA / "wdbc.test.csv"
    options = ["--degree", "1", *REAL_OPTIONS]
    run_lad(lad, "build", str(train), "--quiet", "--name", "cli", *options, cwd=tmp_path)
    forecast = run_lad(lad, "apply", str(test), "--name", "cli", cwd=tmp_path).splitlines()
    loaded = LadClassifier.load(tmp_path / "cli")
    X_test, _ = read_table(test.name)
    assert list(loaded.feature_names_in_) == list(X_test.columns)
    assert [float(line.split(",")[2]) for line in forecast] == [
        float(f"{s:.15g}") for s in loaded.decision_function(X_test)
    ]

    # The statistics of a fitted model's patterns on its training rows are `lad patterns`'s.
    listed = pd.read_csv(io.StringIO(run_lad(lad, "patterns", str(train), "--name", "cli",
                                             "--csv", cwd=tmp_path)), index_col="pattern")
    fitted = LadClassifier(degree=1, **REAL).fit(*read_table(train.name)).patterns_
    assert list(fitted.index) == list(listed.index)
    assert list(fitted["rule"]) == list(listed["rule"])
    for ours, theirs in (("class", "class"), ("degree", "degree"),
                         ("positive_rows", "positive"), ("negative_rows", "negative")):
        assert list(fitted[ours]) == list(listed[theirs]), ours
    for column in ("prevalence", "homogeneity"):
        assert [float(f"{v:.15g}") for v in fitted[column]] == list(listed[column]), column

    # A loaded model has the rules but no training rows, and cannot write the reports.
    assert list(loaded.patterns_["rule"]) == list(listed["rule"])
    assert loaded.patterns_["prevalence"].isna().all()
    with pytest.raises(ValueError, match="fit it to write the four model files"):
        loaded.save(str(tmp_path / "again"))


def test_exports_score_as_the_model(tmp_path):
    X, y = read_table("wdbc.train.csv")
    model = LadClassifier(degree=1, **REAL).fit(X, y)
    namespace = {}
    exec(compile(model.export(to="python"), "lad_model.py", "exec"), namespace)
    X_test, _ = read_table("wdbc.test.csv")
    exported = [namespace["score"](row) for row in X_test.to_dict("records")]
    assert exported == list(model.decision_function(X_test))
    assert "lad_score" in model.export(to="c")
    assert "observations" in model.export(to="sql")
    with pytest.raises(ValueError, match="python"):
        model.export(to="java")


def test_selection_and_class_aware_cut_points_are_those_of_lad(lad, tmp_path):
    """select and discretize give the model `lad build --select --discretize` gives."""
    train = DATA / "wdbc.train.csv"
    run_lad(lad, "build", str(train), "--quiet", "--name", "cli", "--select", "cover:3",
            "--discretize", "class-aware", *REAL_OPTIONS, cwd=tmp_path)
    model = LadClassifier(select=3, discretize="class-aware", **REAL).fit(*read_table(train.name))
    model.save(str(tmp_path / "ours"))
    for extension in MODEL_FILES:
        assert (tmp_path / f"ours.{extension}").read_bytes() == \
            (tmp_path / f"cli.{extension}").read_bytes(), extension
    with pytest.raises(ValueError, match="discretize must be"):
        LadClassifier(discretize="equal-width").fit(*read_table(train.name))
