"""LadClassifier where scikit-learn users put it: pipelines, searches, cross-validation,
pickles, labels of any kind, and the refusals they meet."""

import pickle

import numpy as np
import pandas as pd
import pytest
from conftest import REAL, read_table
from sklearn.model_selection import GridSearchCV, StratifiedKFold, cross_val_score
from sklearn.pipeline import make_pipeline
from sklearn.preprocessing import StandardScaler

from ladwb import LadClassifier, LadWarning


@pytest.fixture(scope="module")
def wdbc():
    return read_table("wdbc.train.csv")


def test_pipeline_search_and_cross_validation(wdbc):
    X, y = wdbc
    pipeline = make_pipeline(StandardScaler(), LadClassifier(**REAL))
    assert pipeline.fit(X, y).score(X, y) > 0.9

    folds = StratifiedKFold(3, shuffle=True, random_state=0)
    search = GridSearchCV(
        LadClassifier(degree=1, **REAL),
        {"positive_homogeneity": [0.6, 0.9], "negative_homogeneity": [0.1, 0.4]},
        cv=folds, n_jobs=2,
    ).fit(X, y)
    assert len(search.cv_results_["params"]) == 4
    # The search's figures are those of the same folds scored here.
    best = search.best_params_
    scores = cross_val_score(LadClassifier(degree=1, **{**REAL, **best}), X, y, cv=folds)
    assert scores.mean() == pytest.approx(search.best_score_)
    assert scores.min() > 0.85


def test_labels_of_any_kind_and_the_positive_class(wdbc):
    X, y = wdbc
    numbers = LadClassifier(degree=1, **REAL).fit(X, y)
    # The positive class is classes_[1], in sorted order, whatever the labels.
    for labels in (np.array(["benign", "malignant"]), np.array([-1, 7]), np.array([False, True])):
        named = LadClassifier(degree=1, **REAL).fit(X, labels[y])
        assert list(named.classes_) == list(labels)
        np.testing.assert_array_equal(named.decision_function(X), numbers.decision_function(X))
        np.testing.assert_array_equal(named.predict(X), labels[numbers.predict(X)])
        assert set(named.patterns_["class"]) == set(labels)
    # Swapping which label sorts last swaps the model's sides.
    swapped = LadClassifier(degree=1, **REAL).fit(X, np.array(["b", "a"])[y])
    assert swapped.n_positive_patterns_ == numbers.n_negative_patterns_


def test_pickle_keeps_the_model(wdbc, tmp_path):
    X, y = wdbc
    model = LadClassifier(**REAL).fit(X, y)
    copy = pickle.loads(pickle.dumps(model))
    np.testing.assert_array_equal(copy.decision_function(X), model.decision_function(X))
    pd.testing.assert_frame_equal(copy.patterns_, model.patterns_)
    assert copy.get_params() == model.get_params()
    # What travels is the model, not the discretized table: a copy cannot write the reports.
    with pytest.raises(ValueError, match="fit it to write"):
        copy.save(str(tmp_path / "copy"))


def test_explain_counts_the_score(wdbc):
    X, y = wdbc
    model = LadClassifier(degree=2, **REAL).fit(X, y)
    scores = model.decision_function(X)
    for row in (0, int(np.argmin(np.abs(scores)))):
        e = model.explain(X.iloc[row])
        assert e.score == scores[row]
        assert e.score == pytest.approx(len(e.for_patterns) * e.positive_share
                                        + len(e.against_patterns) * e.negative_share)
        assert (e.positive_patterns, e.negative_patterns) == (
            model.n_positive_patterns_, model.n_negative_patterns_)
        # A near miss's change gives the score it promises.
        for miss in e.near_misses[:5]:
            changed = X.iloc[[row]].copy()
            target = miss["bound"] if miss["raise"] else np.nextafter(miss["bound"], -np.inf)
            changed[miss["attribute"]] = target
            assert model.decision_function(changed)[0] == miss["score_after"]
    with pytest.warns(UserWarning, match="feature names"):
        assert model.explain(X.to_numpy()[0]).score == scores[0]


@pytest.mark.parametrize(
    "change, message",
    [
        ({"degree": 0}, "degree must be a whole number of at least 1"),
        ({"grid_size": 2.5}, "grid_size must be a whole number"),
        ({"positive_homogeneity": 1.5}, "positive_homogeneity must be a number from 0 to 1"),
        ({"negative_prevalence": "0.1"}, "negative_prevalence must be a number from 0 to 1"),
        ({"threads": 0}, "threads must be a whole number of at least 1"),
    ],
)
def test_bad_parameters_are_named(wdbc, change, message):
    X, y = wdbc
    with pytest.raises(ValueError, match=message):
        LadClassifier(**change).fit(X, y)


def test_bad_tables_are_refused_with_the_reason():
    X = pd.DataFrame({"a": [0.0, 1.0, 2.0, 3.0], "b": [1.0, 0.0, 1.0, 0.0]})
    with pytest.raises(ValueError, match="holds one class"):
        LadClassifier().fit(X, [1, 1, 1, 1])
    for name, reason in (("a,b", "comma"), ("Classic", 'begin with "Class"'),
                         ("tab\there", "control character")):
        with pytest.raises(ValueError, match=reason):
            LadClassifier().fit(X.rename(columns={"a": name}), [0, 1, 0, 1])
    # Texts go to the engine as they stand; one it does not read is named by row and feature.
    texts = X.astype(str)
    texts.iloc[2, 1] = "1_000"
    with pytest.raises(ValueError, match="Row 3, feature 'b': '1_000' is not a valid floating"):
        LadClassifier().fit(texts, [0, 1, 0, 1])
    # So in a table of several classes, where a column of such texts alone would be read as
    # categories.
    with pytest.raises(ValueError, match="Row 3, feature 'b': '1_000' is not a number"):
        LadClassifier().fit(texts, [0, 1, 2, 1])
    with pytest.raises(ValueError, match="Feature 'b': its texts are not numbers"):
        LadClassifier().fit(texts.assign(b=["1_0", "2_0", "3_0", "4_0"]), [0, 1, 2, 1])


def test_model_files_that_cannot_be_read_or_written(wdbc, tmp_path):
    with pytest.raises(OSError, match="Cannot open file"):
        LadClassifier.load(tmp_path / "missing")
    model = LadClassifier(degree=1, **REAL).fit(*wdbc)
    with pytest.raises(OSError, match="Cannot"):
        model.save(str(tmp_path / "no such folder" / "model"))
    with pytest.raises(ValueError, match="The model name is empty"):
        model.save("")
    assert list(tmp_path.iterdir()) == []  # nothing written, no temporaries left


def test_engine_warnings_are_python_warnings():
    X = np.array([[0.0], [1.0], [2.0], [3.0]])
    with pytest.warns(LadWarning, match="exceeds the number of attributes"):
        LadClassifier(degree=2).fit(X, [0, 1, 0, 1])


def test_progress_only_when_asked(wdbc, capfd):
    X, y = wdbc
    LadClassifier(**REAL).fit(X, y)
    assert capfd.readouterr() == ("", "")
    LadClassifier(verbose=True, **REAL).fit(X, y)
    out, err = capfd.readouterr()
    assert out == "" and err.endswith("\rSubsets searched: 435 of 435\n")  # 30 attributes, pairs
