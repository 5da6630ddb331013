"""scikit-learn's own checks of an estimator, on two classes and on three (one model per
class). The one that cannot hold at the default parameters is named with its reason in
LadClassifier's tags (poor_score)."""

from sklearn.utils.estimator_checks import parametrize_with_checks

from ladwb import LadClassifier


@parametrize_with_checks([LadClassifier()])
def test_scikit_learn_estimator_checks(estimator, check):
    check(estimator)
