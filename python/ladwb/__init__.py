"""ladwb: rule-based inductive learning by the LAD method, over the workbench's C++ engine."""

from ._classifier import Explanation, LadClassifier, LadWarning

__all__ = ["Explanation", "LadClassifier", "LadWarning"]
