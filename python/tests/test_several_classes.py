"""Three or more classes: one model per class against the rest, as `lad build` makes them of
such a table, and the forecast of `lad apply` of its index NAME.CLS."""

import json
import pickle

import numpy as np
import pandas as pd
import pytest
from conftest import REAL, run_lad
from sklearn.datasets import load_iris
from sklearn.model_selection import StratifiedKFold, cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.preprocessing import StandardScaler

from ladwb import LadClassifier

MODEL_FILES = ("MOD", "PAT", "DES", "GRD", "TBL")


@pytest.fixture(scope="module")
def iris():
    data = load_iris(as_frame=True)
    return data.data, pd.Series(data.target_names[data.target], name="Class")


def write_table(path, X, y):
    """The table `lad build` reads as the one the package learns from: rows named 1, 2, ...,
    the features, then the class."""
    frame = X.copy()
    frame.insert(0, "Name", range(1, len(X) + 1))
    frame["Class"] = list(y)
    frame.to_csv(path, index=False)


def lad_forecast(lad, table, name, cwd):
    """`lad apply` of NAME.CLS: per row the forecast class and every class's score, keyed by
    class in NAME.CLS's order."""
    classes = json.loads((cwd / f"{name}.CLS").read_text())["classes"]
    lines = run_lad(lad, "apply", str(table), "--name", name, cwd=cwd).splitlines()
    fields = [line.split(",") for line in lines]
    return classes, [f[3] for f in fields], np.array([[float(v) for v in f[4:]] for f in fields])


def printed(scores):
    return np.vectorize(lambda s: float(f"{s:.15g}"))(scores)  # lad prints 15 digits


# The labels of iris, and the same classes as texts of numbers, which the engine orders by
# value ("8" < "9" < "10") and sklearn by text ("10" < "8" < "9"): of equal scores the forecast
# is the first class in the engine's order, which sklearn's order must not change.
@pytest.mark.parametrize("labels, parameters", [
    (None, dict(REAL)),
    (np.array(["8", "9", "10"]), dict(degree=1, grid_size=4)),
])
def test_scores_forecasts_and_files_are_those_of_lad(lad, tmp_path, iris, labels, parameters):
    X, y = iris
    if labels is not None:
        y = pd.Series(labels[pd.factorize(y, sort=True)[0]], name="Class")
    table = tmp_path / "iris.csv"
    write_table(table, X, y)
    (tmp_path / "lad").mkdir()
    options = [f"--{k.replace('_', '-')}={v}" for k, v in parameters.items()]
    run_lad(lad, "build", str(table), "--quiet", "--name", "iris", *options, cwd=tmp_path / "lad")
    classes, forecasts, scores = lad_forecast(lad, table, "iris", tmp_path / "lad")

    model = LadClassifier(**parameters).fit(X, y)
    assert list(model.classes_) == sorted(set(y))
    ours = model.decision_function(X)
    assert ours.shape == (len(X), 3)
    columns = [list(model.classes_).index(c) for c in classes]
    np.testing.assert_array_equal(printed(ours[:, columns]), scores)
    np.testing.assert_array_equal(model.predict(X), forecasts)
    if labels is not None:  # the tie rule was tried
        top = np.sort(scores, axis=1)
        assert (top[:, -1] == top[:, -2]).sum() > 10

    # The same files, byte for byte: every class's model and the index.
    (tmp_path / "py").mkdir()
    written = model.save(str(tmp_path / "py" / "iris"))
    assert len(written) == 5 * 3 + 1 and written[-1].endswith("iris.CLS")
    for path in (tmp_path / "lad").iterdir():
        assert (tmp_path / "py" / path.name).read_bytes() == path.read_bytes(), path.name
    assert sorted(p.name for p in (tmp_path / "py").iterdir()) == \
        sorted(p.name for p in (tmp_path / "lad").iterdir())

    # What lad built reads back as the same classifier.
    loaded = LadClassifier.load(tmp_path / "lad" / "iris")
    assert list(loaded.classes_) == list(model.classes_)
    np.testing.assert_array_equal(loaded.decision_function(X), ours)
    np.testing.assert_array_equal(loaded.predict(X), model.predict(X))


def test_texts_labels_of_any_kind_and_pickles(iris, tmp_path):
    X, y = iris
    model = LadClassifier(**REAL).fit(X, y)
    scores = model.decision_function(X)
    texts = LadClassifier(threads=1, **REAL).fit(X.astype(str), y)
    np.testing.assert_array_equal(texts.decision_function(X), scores)
    # A feature named as the column that names the rows moves that column aside.
    named_rows = X.set_axis(["Name", *X.columns[1:]], axis=1)
    renamed = LadClassifier(**REAL).fit(named_rows, y)
    np.testing.assert_array_equal(renamed.decision_function(named_rows), scores)

    # A class's model depends only on which rows are of that class: labels that sort alike
    # give the same scores. Labels that would not read back from a table ("?" is a missing
    # class there) reach the engine as 1, 2, 3.
    codes = pd.factorize(y, sort=True)[0]
    for labels in (np.array([-5, 0, 7]), np.array(["?", "NA", "z"]), np.array([1.0, 2.0, 3.0])):
        named = LadClassifier(**REAL).fit(X, labels[codes])
        np.testing.assert_array_equal(named.classes_, labels)
        np.testing.assert_array_equal(named.decision_function(X), scores)
        forecast = np.searchsorted(model.classes_, model.predict(X))
        np.testing.assert_array_equal(named.predict(X), labels[forecast])
    written = LadClassifier(degree=1, **REAL).fit(X, np.array(["?", "NA", "z"])[codes]) \
        .save(str(tmp_path / "odd"))
    assert written[-1] == str(tmp_path / "odd.CLS")
    assert sorted(p.name for p in tmp_path.glob("*.MOD")) == ["odd-1.MOD", "odd-2.MOD", "odd-3.MOD"]

    copy = pickle.loads(pickle.dumps(model))
    np.testing.assert_array_equal(copy.decision_function(X), scores)
    np.testing.assert_array_equal(copy.predict(X), model.predict(X))
    pd.testing.assert_frame_equal(copy.patterns_, model.patterns_)
    with pytest.raises(ValueError, match="fit it to write the model files"):
        copy.save(str(tmp_path / "copy"))


def test_patterns_explain_and_export_per_class(iris):
    X, y = iris
    model = LadClassifier(**REAL).fit(X, y)
    scores = model.decision_function(X)
    patterns = model.patterns_
    assert list(patterns.index.names) == ["model", "pattern"]
    for k, label in enumerate(model.classes_):
        own = patterns.loc[label]
        assert own["positive"].sum() == model.n_positive_patterns_[k]
        assert (~own["positive"]).sum() == model.n_negative_patterns_[k]
        # The counts are of the class's rows (50) and of the rest's (100).
        side = own[own["positive"]]
        assert (side["positive_rows"] > side["negative_rows"]).all()
        assert (side["positive_rows"] / 50 == side["prevalence"]).all()

    row = 120
    e = model.explain(X.iloc[row])
    assert e.model == model.predict(X.iloc[[row]])[0]
    for label in model.classes_:
        e = model.explain(X.iloc[row], for_class=label)
        k = list(model.classes_).index(label)
        assert (e.model, e.score) == (label, scores[row, k])
        namespace = {}
        exec(compile(model.export(to="python", for_class=label), "m.py", "exec"), namespace)
        assert [namespace["score"](r) for r in X.to_dict("records")] == list(scores[:, k])
    with pytest.raises(ValueError, match="not a class of the model"):
        model.explain(X.iloc[row], for_class="rose")
    with pytest.raises(ValueError, match="export writes the code of one: call export"):
        model.export(to="c")


def test_cross_validation_in_a_pipeline(iris):
    X, y = iris
    folds = StratifiedKFold(3, shuffle=True, random_state=0)
    scores = cross_val_score(make_pipeline(StandardScaler(), LadClassifier(**REAL)), X, y, cv=folds)
    assert scores.min() > 0.85
