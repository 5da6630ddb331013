#include "Evaluation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "LadError.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double ratio(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : kNaN;
}

void computeFigures(Metrics& m);

void countConfusion(const std::vector<ScoredObservation>& observations, Metrics& m) {
  ConfusionMatrix& c = m.confusion;
  for (const ScoredObservation& o : observations) {
    if (o.cls == 1) {
      ++m.positives;
      if (o.score > 0) {
        ++c.truePositive;
      } else if (o.score < 0) {
        ++c.falseNegative;
      } else {
        ++c.undecidedPositive;
      }
    } else if (o.cls == 0) {
      ++m.negatives;
      if (o.score > 0) {
        ++c.falsePositive;
      } else if (o.score < 0) {
        ++c.trueNegative;
      } else {
        ++c.undecidedNegative;
      }
    } else {
      ++m.others;
    }
  }
  computeFigures(m);
}

}  // namespace

void decideUndecided(Metrics& m, std::int32_t cls) {
  ConfusionMatrix& c = m.confusion;
  m.decidedByRule = c.undecidedPositive + c.undecidedNegative;
  m.undecidedAs = cls;
  (cls == 1 ? c.truePositive : c.falseNegative) += c.undecidedPositive;
  (cls == 1 ? c.falsePositive : c.trueNegative) += c.undecidedNegative;
  c.undecidedPositive = 0;
  c.undecidedNegative = 0;
  computeFigures(m);
}

namespace {

void computeFigures(Metrics& m) {
  const ConfusionMatrix& c = m.confusion;
  m.undecided = c.undecidedPositive + c.undecidedNegative;
  const std::int64_t all = m.positives + m.negatives;
  const std::int64_t correct = c.truePositive + c.trueNegative;
  m.accuracy = ratio(correct, all);
  m.decidedAccuracy = ratio(correct, all - m.undecided);
  m.sensitivity = ratio(c.truePositive, m.positives);
  m.specificity = ratio(c.trueNegative, m.negatives);
  m.balancedAccuracy = (m.sensitivity + m.specificity) / 2;  // NaN when either is
  m.undecidedShare = ratio(m.undecided, all);
}

// Walks the distinct scores from the highest down; each step adds every observation of that
// score at once, so ties give one diagonal segment, whose trapezoid counts a tied pair as one
// half.
void rocCurve(const std::vector<ScoredObservation>& observations, Metrics& m) {
  std::vector<std::pair<double, std::int32_t>> scored;
  scored.reserve(observations.size());
  for (const ScoredObservation& o : observations) {
    if ((o.cls == 1 || o.cls == 0) && !std::isnan(o.score)) scored.emplace_back(o.score, o.cls);
  }
  std::sort(scored.begin(), scored.end(),
            [](const auto& x, const auto& y) { return x.first > y.first; });
  m.roc.push_back({std::numeric_limits<double>::infinity(), 0, 0});
  std::int64_t tp = 0;
  std::int64_t fp = 0;
  double twiceArea = 0;  // in units of one positive-negative pair
  for (std::size_t i = 0; i < scored.size();) {
    const double threshold = scored[i].first;
    std::int64_t stepPositive = 0;
    std::int64_t stepNegative = 0;
    for (; i < scored.size() && scored[i].first == threshold; ++i) {
      (scored[i].second == 1 ? stepPositive : stepNegative) += 1;
    }
    twiceArea += static_cast<double>(stepNegative) * static_cast<double>(2 * tp + stepPositive);
    tp += stepPositive;
    fp += stepNegative;
    m.roc.push_back({threshold, ratio(fp, m.negatives), ratio(tp, m.positives)});
  }
  m.auc =
      m.positives > 0 && m.negatives > 0
          ? twiceArea / (2.0 * static_cast<double>(m.positives) * static_cast<double>(m.negatives))
          : kNaN;
}

ScoreHistogram histogram(const std::vector<ScoredObservation>& observations, int bins) {
  ScoreHistogram h;
  bins = std::max(bins, 1);
  for (int i = 0; i <= bins; ++i) h.edges.push_back(-1.0 + 2.0 * i / bins);
  h.positive.assign(static_cast<std::size_t>(bins), 0);
  h.negative.assign(static_cast<std::size_t>(bins), 0);
  for (const ScoredObservation& o : observations) {
    if ((o.cls != 1 && o.cls != 0) || std::isnan(o.score)) continue;
    const double at = std::floor((o.score + 1.0) / 2.0 * bins);
    const auto bin = static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(bins - 1)));
    (o.cls == 1 ? h.positive : h.negative)[bin] += 1;
  }
  return h;
}

std::string count(std::int64_t value) {
  return integerText(value);
}

// Right-aligns text in a column of the given width.
std::string cell(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::int32_t evaluationClass(const std::string& classField, const NumberFormat& format) {
  try {
    const double value = std::trunc(numberFromText(classField, format));
    if (value == 1) return 1;
    if (value == 0) return 0;
  } catch (const EConvertError&) {
  }
  return kOtherClass;
}

Metrics evaluateScores(const std::vector<ScoredObservation>& observations, int histogramBins) {
  Metrics m;
  countConfusion(observations, m);
  rocCurve(observations, m);
  m.histogram = histogram(observations, histogramBins);
  return m;
}

std::string metricText(double value, const NumberFormat& format) {
  if (std::isnan(value)) return "n/a";
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string result = text;
  const std::size_t point = result.find('.');
  if (point != std::string::npos) result.replace(point, 1, format.decimalSeparator);
  return result;
}

std::vector<std::string> metricsReport(const Metrics& m, const NumberFormat& format) {
  const auto figure = [&](double value) { return metricText(value, format); };
  std::vector<std::string> lines;
  lines.push_back("Observations: " + count(m.positives + m.negatives) + " (" + count(m.positives) +
                  " positive, " + count(m.negatives) + " negative)" +
                  (m.others > 0 ? "; " + count(m.others) + " of other classes left out" : ""));
  lines.push_back("Accuracy: " + figure(m.accuracy) +
                  (m.undecidedAs == kOtherClass
                       ? std::string(" (undecided count as wrong)")
                       : " (undecided count as class " + count(m.undecidedAs) + ": " +
                             count(m.decidedByRule) + " decided so)"));
  lines.push_back("Undecided: " + count(m.undecided) + " (" + figure(m.undecidedShare) + ")");
  lines.push_back("Accuracy among decided: " + figure(m.decidedAccuracy));
  lines.push_back("Balanced accuracy: " + figure(m.balancedAccuracy));
  lines.push_back("Sensitivity: " + figure(m.sensitivity));
  lines.push_back("Specificity: " + figure(m.specificity));
  lines.push_back("AUC: " + figure(m.auc));
  lines.push_back("");
  const ConfusionMatrix& c = m.confusion;
  const std::size_t w = 12;
  lines.push_back(cell("", 10) + cell("forecast 1", w) + cell("forecast 0", w) +
                  cell("undecided", w));
  lines.push_back(cell("class 1", 10) + cell(count(c.truePositive), w) +
                  cell(count(c.falseNegative), w) + cell(count(c.undecidedPositive), w));
  lines.push_back(cell("class 0", 10) + cell(count(c.falsePositive), w) +
                  cell(count(c.trueNegative), w) + cell(count(c.undecidedNegative), w));
  lines.push_back("");
  lines.push_back("Score distribution:");
  lines.push_back(cell("from", 8) + cell("to", 8) + cell("class 1", 10) + cell("class 0", 10));
  const ScoreHistogram& h = m.histogram;
  for (std::size_t i = 0; i < h.positive.size(); ++i) {
    if (h.positive[i] == 0 && h.negative[i] == 0) continue;
    lines.push_back(cell(numberText(h.edges[i], format), 8) +
                    cell(numberText(h.edges[i + 1], format), 8) + cell(count(h.positive[i]), 10) +
                    cell(count(h.negative[i]), 10));
  }
  return lines;
}
