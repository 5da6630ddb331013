"""One model per class, that class against the rest: the form `lad build` gives a table of three
or more classes (NAME-CLASS models and the index NAME.CLS), held for LadClassifier."""

import numpy as np

from . import _engine

# What the table reading takes as a missing class by default: a label with such a text, or
# one that would not read back as itself, goes to the engine as its number instead.
_MISSING_TEXTS = ("", "?", "NA")


def class_texts(classes):
    """The texts the engine gets for the classes (sorted as classes_): each label's str() when
    every one reads back from a table as itself and they all differ, else 1, 2, ... K."""
    texts = [str(c) for c in classes]
    readable = all(
        t == t.strip() and t not in _MISSING_TEXTS and t.isprintable() for t in texts
    ) and len(set(texts)) == len(texts)
    return texts if readable else [str(k + 1) for k in range(len(classes))]


def csv_field(text):
    """A field of the table text, quoted when it holds a comma, a quote or a line break."""
    if any(c in text for c in ',"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


class ClassModels:
    """The engine's models of K classes and how they line up with classes_: the engine keeps
    the classes in its own order (numbers by value, texts by code unit), which NAME.CLS lists
    and which breaks ties; `order[p]` is the classes_ position of the engine's class p."""

    def __init__(self, engine_models, class_texts_sorted):
        self.engine = engine_models
        position = {t: k for k, t in enumerate(class_texts_sorted)}
        self.order = np.array([position[t] for t in engine_models.classes], dtype=np.intp)

    @property
    def models(self):
        return self.engine.models

    def scores(self, X, threads):
        """Per row, every class's score, columns in classes_ order."""
        out = np.empty((X.shape[0], len(self.order)))
        for p, model in enumerate(self.models):
            out[:, self.order[p]] = model.decision_function(X, threads=threads)
        return out

    def forecast(self, scores):
        """The classes_ position of the class of highest score; of equal ones the first in the
        engine's order, as `lad apply` of NAME.CLS forecasts."""
        in_engine_order = scores[:, self.order]
        return self.order[np.argmax(in_engine_order, axis=1)]

    def model_of(self, k):
        """The engine model of the class at classes_ position k."""
        return self.models[int(np.flatnonzero(self.order == k)[0])]

    # -- pickling: the layout and every model's NAME.MOD text ------------------------------

    def state(self):
        return {
            "layout": self.engine.layout_text,
            "models": [(m.model_text(), m.training_table) for m in self.models],
            "order": self.order,
        }

    @classmethod
    def from_state(cls, state):
        models = [_engine.from_model_text(text, table) for text, table in state["models"]]
        restored = cls.__new__(cls)
        restored.engine = _engine.class_models_from_texts(state["layout"], models)
        restored.order = np.asarray(state["order"], dtype=np.intp)
        return restored
