"""LadClassifier: the workbench's LAD model as a scikit-learn estimator."""

import numbers
import re
import sys
import warnings
from dataclasses import dataclass, field

import numpy as np
from sklearn.base import BaseEstimator, ClassifierMixin
from sklearn.utils.multiclass import check_classification_targets
from sklearn.utils.validation import check_is_fitted

from . import _engine
from ._class_models import ClassModels, class_texts, csv_field

try:
    import pandas as _pd
except ImportError:  # pandas is optional: patterns_ is then a list of records
    _pd = None


class LadWarning(UserWarning):
    """What the engine says although the work goes on (a degree above the attribute count, a
    model with a side without patterns, a model file whose NAME.PAT names other counts)."""


@dataclass
class Explanation:
    """Why a row gets its score: the score is positive_share * len(for_patterns) +
    negative_share * len(against_patterns), as the model counts it. With several classes,
    `model` is the class whose model (that class against the rest) is explained; with two it
    is None."""

    score: float
    positive_patterns: int
    negative_patterns: int
    positive_share: float
    negative_share: float
    for_patterns: list = field(default_factory=list)  # (name, rule) of satisfied positive ones
    against_patterns: list = field(default_factory=list)  # (name, rule) of satisfied negative ones
    near_misses: list = field(default_factory=list)  # dicts: pattern failed by one condition
    model: object = None


def _warn(message):
    warnings.warn(message, LadWarning, stacklevel=3)


def _progress_line(done, total):
    sys.stderr.write(f"\rSubsets searched: {done} of {total}")
    if done == total:
        sys.stderr.write("\n")
    sys.stderr.flush()


def _texts_of(X):
    """The cells as texts when X is a DataFrame of strings (read with dtype=str), else None."""
    if _pd is None or not isinstance(X, _pd.DataFrame) or X.shape[1] == 0:
        return None
    if not all(dtype == object for dtype in X.dtypes):
        return None
    cells = X.to_numpy(dtype=object)
    if not all(isinstance(cell, str) for cell in cells.flat):
        return None
    return cells


def _whole(name, value):
    if isinstance(value, bool) or not isinstance(value, numbers.Integral) or value < 1:
        raise ValueError(f"{name} must be a whole number of at least 1; got {value!r}")
    if value > 2**31 - 1:
        raise ValueError(f"{name} must be at most {2**31 - 1}; got {value!r}")
    return int(value)


def _share(name, value):
    if isinstance(value, bool) or not isinstance(value, numbers.Real) or not 0 <= value <= 1:
        raise ValueError(f"{name} must be a number from 0 to 1; got {value!r}")
    return float(value)


def _check_attribute_names(names):
    for position, name in enumerate(names, start=1):
        bad = next((c for c in name if ord(c) < 0x20 or ord(c) == 0x7F), None)
        if "," in name or bad is not None:
            what = "a comma" if "," in name else f"the control character {ord(bad):#04x}"
            raise ValueError(
                f"Feature {position} is named {name!r}, which holds {what}; a feature name may "
                "hold neither commas nor control characters (the model's files list the names "
                "separated by commas)"
            )
        if name.startswith("Class"):
            raise ValueError(
                f"Feature {position} is named {name!r}; no feature name may begin with "
                '"Class" (the model files keep that name for the class column)'
            )


class LadClassifier(ClassifierMixin, BaseEstimator):
    """A LAD model: positive and negative patterns (boxes over `degree` attributes of a grid of
    at most `grid_size` bins per attribute) that cover at least the prevalence and at most
    1 - homogeneity of the other class, found by the workbench's engine.

    The score of a row (decision_function) is the share of positive patterns it satisfies minus
    the share of negative ones, from -1 to 1, exactly as `lad apply` gives it. predict gives
    classes_[1] for a score above 0 and classes_[0] otherwise (a score of 0, which `lad
    evaluate` calls undecided, goes to classes_[0]).

    Three or more classes learn one model per class, that class against the rest, as `lad
    build` does for such a table (the NAME-CLASS models and the index NAME.CLS): the
    decision_function has a column per class (in classes_ order), each that class's model's
    score, and predict gives the class of highest score; of equal scores it takes the first in
    the order NAME.CLS lists the classes (numbers by value, texts by character), as `lad apply`
    does.

    select: None keeps every pattern; K keeps a subset of each side's patterns that still
    covers every training row of that side K times (fewer where fewer patterns cover it), as
    `lad build --select cover:K` does. discretize: "equal-frequency" cut points (the default)
    or "class-aware" ones, as `lad build --discretize`.

    threads: threads of the pattern search and of scoring (None: every core); the model is the
    same for any number. verbose: a progress line on standard error while fitting.
    """

    def __init__(
        self,
        grid_size=8,
        degree=2,
        positive_homogeneity=0.6,
        positive_prevalence=0.1,
        negative_homogeneity=0.4,
        negative_prevalence=0.1,
        select=None,
        discretize="equal-frequency",
        threads=None,
        verbose=False,
    ):
        self.grid_size = grid_size
        self.degree = degree
        self.positive_homogeneity = positive_homogeneity
        self.positive_prevalence = positive_prevalence
        self.negative_homogeneity = negative_homogeneity
        self.negative_prevalence = negative_prevalence
        self.select = select
        self.discretize = discretize
        self.threads = threads
        self.verbose = verbose

    # -- parameters -------------------------------------------------------------------------

    def _checked_parameters(self):
        return dict(
            grid_size=_whole("grid_size", self.grid_size),
            degree=_whole("degree", self.degree),
            positive_homogeneity=_share("positive_homogeneity", self.positive_homogeneity),
            positive_prevalence=_share("positive_prevalence", self.positive_prevalence),
            negative_homogeneity=_share("negative_homogeneity", self.negative_homogeneity),
            negative_prevalence=_share("negative_prevalence", self.negative_prevalence),
            cover_target=self._cover_target(),
            class_aware=self._class_aware(),
            threads=self._threads(),
        )

    def _cover_target(self):
        """select as the engine takes it: K of "cover K" (select=K), 0 for every pattern (None)."""
        if self.select is None or self.select == "none":
            return 0
        return _whole("select", self.select)

    def _class_aware(self):
        if self.discretize not in ("equal-frequency", "class-aware"):
            raise ValueError(
                f"discretize must be 'equal-frequency' or 'class-aware'; got {self.discretize!r}"
            )
        return self.discretize == "class-aware"

    def _threads(self):
        """The threads parameter as the engine takes it: 0 for every core."""
        return 0 if self.threads is None else _whole("threads", self.threads)

    # -- learning ---------------------------------------------------------------------------

    def fit(self, X, y):
        """Learns the patterns of X (rows x features) for the labels y (two classes, or one
        model per class for three or more).

        The numbers reach the engine exactly: a float64 value as the shortest text that reads
        back as it, and the cells of a DataFrame of strings (pandas.read_csv(..., dtype=str))
        as they stand. So fitting the table that `lad build` reads gives its very model, and
        save() its very files, when X holds the values the engine reads from that table's
        texts (correctly rounded, as float() and read_csv(..., float_precision="round_trip")
        read them) or the texts themselves, the columns named as in its header.

        A fit that fails, or that Ctrl+C cancels (KeyboardInterrupt), leaves the estimator
        as it was.
        """
        before = dict(self.__dict__)
        try:
            return self._fit(X, y)
        except BaseException:
            self.__dict__.clear()
            self.__dict__.update(before)
            raise

    def _fit(self, X, y):
        parameters = self._checked_parameters()
        texts = _texts_of(X)
        X, y = self._validate_data(X, y, dtype=np.float64)
        check_classification_targets(y)
        classes, encoded = np.unique(y, return_inverse=True)
        if len(classes) < 2:
            raise ValueError(
                f"LadClassifier needs observations of two classes, but y holds one class "
                f"({classes[0]!r}): patterns tell one class from another"
            )
        names = getattr(self, "feature_names_in_", None)
        names = [str(n) for n in names] if names is not None else [f"Attr{k + 1}" for k in range(X.shape[1])]
        _check_attribute_names(names)
        threads = parameters.pop("threads")
        if len(classes) > 2:
            labels = class_texts(classes)
            # The rows' names go in a column of a name no feature has.
            rows = "Name"
            while rows in names:
                rows += "_"
            if texts is None:
                table = _engine.class_table_text(names, X, labels, encoded.astype(np.intc), rows)
            else:
                table = self._table_of_texts(names, texts, [labels[e] for e in encoded],
                                             quote=True, rows=rows)
            models = self._run_build(_engine.fit_classes, table, names, threads, parameters)
            self._set_class_models(models, classes, labels, names)
            return self
        if texts is None:
            table = _engine.table_text(names, X, encoded.astype(np.intc))
        else:
            table = self._table_of_texts(names, texts, [str(int(e)) for e in encoded])
        model = self._run_build(_engine.fit, table, names, threads, parameters)
        self._set_model(model, classes)
        return self

    def _run_build(self, build, table, names, threads, parameters):
        try:
            return build(
                table,
                threads=threads,
                progress=_progress_line if self.verbose else None,
                warn=_warn,
                **parameters,
            )
        except KeyboardInterrupt:
            if self.verbose:
                sys.stderr.write("\n")
            raise
        except ValueError as e:
            # A text the engine does not read as a number (float() takes "1_000", lad does
            # not) is named by its place in the table made here: say the row and feature.
            place = re.match(r"Line (\d+), column (\d+): (.*)", str(e), re.S)
            if place is not None:
                row, column, reason = int(place[1]) - 1, int(place[2]) - 2, place[3]
            else:
                place = re.search(r"line (\d+), column (\d+) \(.*?\): (.*? is not a number)",
                                  str(e), re.S)
                if place is None:
                    raise
                row, column, reason = int(place[1]) - 1, int(place[2]) - 2, place[3]
            raise ValueError(f"Row {row}, feature {names[column]!r}: {reason}") from None

    @staticmethod
    def _table_of_texts(names, texts, labels, quote=False, rows="Name"):
        """The table text of a DataFrame of strings; `labels` the class text of every row. The
        header's names are quoted where needed for the reading of several classes (quote),
        written as they stand in the plain form."""
        header = [csv_field(n) for n in names] if quote else names
        lines = [rows + "," + ",".join(header) + ",Class"]
        for r, (row, label) in enumerate(zip(texts, labels), start=1):
            for k, cell in enumerate(row):
                if "," in cell or "\n" in cell or "\r" in cell:
                    raise ValueError(
                        f"Row {r}, feature {names[k]!r}: the text {cell!r} holds a comma or a "
                        "line break; a value is one number"
                    )
            lines.append(f"{r}," + ",".join(row) + "," + csv_field(label))
        return "\n".join(lines) + "\n"

    def _set_model(self, model, classes):
        self._model = model
        self.classes_ = np.asarray(classes)
        self.n_features_in_ = len(model.attribute_names)
        self.n_positive_patterns_ = model.positive_patterns
        self.n_negative_patterns_ = model.negative_patterns
        self.__dict__.pop("_patterns", None)

    def _set_class_models(self, models, classes, labels, names=None):
        attributes = list(models.models[0].attribute_names)
        if names is not None and attributes != names:
            # A column whose every text the engine does not read as a number would become
            # categories: the model would not score the features it is given.
            column = next(k for k, n in enumerate(names) if k >= len(attributes) or attributes[k] != n)
            raise ValueError(
                f"Feature {names[column]!r}: its texts are not numbers that the engine reads "
                "(such as 1.5 or -2e3); give numbers, or texts of numbers"
            )
        self._model = ClassModels(models, labels)
        self.classes_ = np.asarray(classes)
        self.n_features_in_ = len(attributes)
        per_class = [self._model.model_of(k) for k in range(len(classes))]
        self.n_positive_patterns_ = np.array([m.positive_patterns for m in per_class])
        self.n_negative_patterns_ = np.array([m.negative_patterns for m in per_class])
        self.__dict__.pop("_patterns", None)

    @property
    def _several(self):
        return isinstance(self._model, ClassModels)

    # -- scoring ----------------------------------------------------------------------------

    def decision_function(self, X):
        """The score of every row, as `lad apply` gives it: from -1 to 1, above 0 for
        classes_[1]. With several classes, shape (rows, classes): column k is the score of
        classes_[k]'s model, as `lad apply` of NAME.CLS gives it."""
        check_is_fitted(self)
        X = self._validate_data(X, dtype=np.float64, reset=False)
        if self._several:
            return self._model.scores(X, self._threads())
        return self._model.decision_function(X, threads=self._threads())

    def predict(self, X):
        scores = self.decision_function(X)
        if self._several:
            return self.classes_[self._model.forecast(scores)]
        return self.classes_[(scores > 0).astype(np.intp)]

    # -- reading the model ------------------------------------------------------------------

    @property
    def patterns_(self):
        """One row per pattern (P1, P2, ..., N1, ...): its class, rule, degree, the training
        rows of classes_[1] (positive_rows) and classes_[0] (negative_rows) it covers, its
        prevalence and homogeneity on them. A DataFrame when pandas is there, else a list of
        dicts. A model from load() has no training rows: counts 0, shares NaN.

        With several classes, the patterns of every class's model in classes_ order, indexed
        by (model, pattern): `model` is the class whose model it is, `positive` whether the
        pattern is of that class (True) or of the rest; positive_rows and negative_rows count
        the training rows of that class and of the rest."""
        check_is_fitted(self)
        if "_patterns" not in self.__dict__:
            if self._several:
                self._patterns = self._class_patterns()
            else:
                columns = self._model.patterns()
                columns["class"] = self.classes_[np.asarray(columns["class"])]
                self._patterns = columns
        columns = self._patterns
        index = ["model", "pattern"] if self._several else "pattern"
        if _pd is not None:
            return _pd.DataFrame(columns).set_index(index)
        keys = list(columns)
        return [dict(zip(keys, values)) for values in zip(*(columns[k] for k in keys))]

    def _class_patterns(self):
        parts = []
        for k in range(len(self.classes_)):
            columns = self._model.model_of(k).patterns()
            positive = np.asarray(columns.pop("class")) == 1
            part = {"model": np.repeat(self.classes_[k:k + 1], len(positive)),
                    "pattern": np.asarray(columns.pop("pattern"), dtype=object),
                    "positive": positive}
            part.update(columns)
            part["rule"] = np.asarray(part["rule"], dtype=object)
            parts.append(part)
        return {key: np.concatenate([p[key] for p in parts]) for key in parts[0]}

    def explain(self, x, for_class=None):
        """Why the row x (one row of features) gets its score: the patterns for and against it
        and the near misses, the patterns it fails by one condition, each with the change of
        that value that would satisfy it and the score after it.

        With several classes it explains one class's model (that class against the rest), named
        in the result's `model`: for_class, or by default the class predict gives the row."""
        check_is_fitted(self)
        if for_class is not None and not self._several:
            raise ValueError(
                "for_class chooses one class's model of a classifier of several classes; this "
                "one has two classes and one model: call explain(x)"
            )
        if _pd is not None and isinstance(x, _pd.Series):
            x = x.to_frame().T
        elif _pd is None or not isinstance(x, _pd.DataFrame):
            x = np.asarray(x, dtype=np.float64)
            if x.ndim == 1:
                x = x.reshape(1, -1)
        X = self._validate_data(x, dtype=np.float64, reset=False)
        if X.shape[0] != 1:
            raise ValueError(f"explain takes one row; got {X.shape[0]}")
        model, label = self._model, None
        if self._several:
            if for_class is None:
                k = int(self._model.forecast(self._model.scores(X, self._threads()))[0])
            else:
                k = self._class_position(for_class)
            model, label = self._model.model_of(k), self.classes_[k]
        e = model.explain(X[0])
        return Explanation(
            score=e["score"],
            positive_patterns=e["positive_patterns"],
            negative_patterns=e["negative_patterns"],
            positive_share=e["positive_share"],
            negative_share=e["negative_share"],
            for_patterns=e["for"],
            against_patterns=e["against"],
            near_misses=e["near_misses"],
            model=label,
        )

    def _class_position(self, label):
        found = [k for k, c in enumerate(self.classes_) if c == label]
        if not found:
            raise ValueError(f"for_class is {label!r}, which is not a class of the model; the "
                             f"classes are {list(self.classes_)}")
        return found[0]

    def export(self, to="python", name="LAD", for_class=None):
        """The model as code that scores as it does without this package: to="python" (a
        module with score(row)), "c" (double lad_score(const double *values), for a header
        lad_model.h) or "sql" (one expression over a table named observations). `name` goes
        into the code's comments.

        With several classes, the code of one class's model (that class against the rest):
        for_class names it. The forecast is the class whose code scores highest."""
        check_is_fitted(self)
        if not self._several:
            if for_class is not None:
                raise ValueError("for_class chooses one class's model of a classifier of several "
                                 "classes; this one has two classes and one model: call "
                                 "export(to, name)")
            return self._model.export(str(to), str(name))
        if for_class is None:
            order = [self.classes_[k] for k in self._model.order]
            raise ValueError(
                f"This classifier holds one model per class ({len(self.classes_)} classes) and "
                "export writes the code of one: call export(to, name, for_class=C) for each "
                f"class C of {list(self.classes_)}, and forecast the class whose code scores "
                f"highest (of equal scores the first in the order {order})"
            )
        model = self._model.model_of(self._class_position(for_class))
        return model.export(str(to), str(name))

    # -- files ------------------------------------------------------------------------------

    def save(self, name):
        """Writes NAME.PAT, NAME.DES, NAME.GRD and NAME.MOD exactly as `lad build` writes them
        for the same table and parameters (see fit), replaced as a set. Returns the file
        names in the order they were put in place.

        With several classes, what `lad build` writes for such a table: per class the four
        files of NAME-CLASS (NAME-K, K from 1, for a class whose text is not a plain file name)
        and NAME-CLASS.TBL, then the index NAME.CLS."""
        check_is_fitted(self)
        if self._several:
            return self._model.engine.save(str(name), threads=self._threads(), warn=_warn)
        return self._model.save(str(name), threads=self._threads(), warn=_warn)

    @classmethod
    def load(cls, name):
        """A classifier with the model NAME.MOD (as `lad apply` reads it), classes 0 and 1. Its
        parameters are the defaults: a model file keeps only what scoring needs.

        When NAME.CLS is there, the models of several classes it names, as `lad apply` of NAME
        reads them; the classes are the texts NAME.CLS lists, sorted."""
        if _engine.has_class_models(str(name)):
            models = _engine.load_classes(str(name), warn=_warn)
            classes = np.unique(np.asarray(models.classes, dtype=object).astype(str))
            estimator = cls()
            estimator._set_class_models(models, classes, [str(c) for c in classes])
            estimator.feature_names_in_ = np.asarray(models.models[0].attribute_names,
                                                     dtype=object)
            return estimator
        model = _engine.load(str(name), warn=_warn)
        estimator = cls()
        estimator._set_model(model, np.array([0, 1]))
        estimator.feature_names_in_ = np.asarray(model.attribute_names, dtype=object)
        return estimator

    # -- pickling: the model travels as the text of its NAME.MOD ----------------------------

    def __getstate__(self):
        state = dict(super().__getstate__())  # object.__getstate__ gives __dict__ itself
        model = state.pop("_model", None)
        if isinstance(model, ClassModels):
            state["_class_models"] = model.state()
        elif model is not None:
            state["_model_text"] = model.model_text()
            state["_training_table"] = model.training_table
        return state

    def __setstate__(self, state):
        state = dict(state)
        text = state.pop("_model_text", None)
        table = state.pop("_training_table", "")
        several = state.pop("_class_models", None)
        super().__setstate__(state)
        if text is not None:
            self._model = _engine.from_model_text(text, table)
        elif several is not None:
            self._model = ClassModels.from_state(several)

    def _more_tags(self):
        return {
            # check_classifiers_train asks for a training accuracy above 0.83 at the default
            # parameters. The defaults are the window's start-up thresholds (homogeneity 0.6
            # and 0.4), which on the check's two blobs give 3 positive and 3 negative patterns
            # that leave 34 of the 200 rows with a score of exactly 0: undecided, predicted as
            # classes_[0], so the accuracy is 0.81. At 0.9/0.05/0.1/0.05 it is 0.965. The rest
            # of that check runs, and on its three blobs (one model per class) the accuracy at
            # the defaults is 0.853, above the bar; the tag waives the bar for both.
            "poor_score": True,
        }
