#include "EvaluationOutput.h"

#include <cstdio>

namespace {

using json = nlohmann::ordered_json;

json meanAndDeviationJson(const MeanAndDeviation& figure) {
  return {{"mean", figure.mean}, {"sd", figure.deviation}};
}

json parametersJson(const LearningParameters& p) {
  json out = {{"grid_size", p.gridSize},
              {"degree", p.degree},
              {"positive_homogeneity", static_cast<double>(p.positiveHomogeneity)},
              {"positive_prevalence", static_cast<double>(p.positivePrevalence)},
              {"negative_homogeneity", static_cast<double>(p.negativeHomogeneity)},
              {"negative_prevalence", static_cast<double>(p.negativePrevalence)}};
  // The choices beyond the six appear when they differ from the defaults.
  if (p.discretization == Discretization::ClassAware) out["discretize"] = "class-aware";
  if (p.coverTarget > 0) out["select"] = "cover:" + std::to_string(p.coverTarget);
  return out;
}

// A table of several classes has the macro F1 in place of the undecided share.
json summaryJson(const FoldSummary& s, bool multiClass) {
  return {{"accuracy", meanAndDeviationJson(s.accuracy)},
          {"balanced_accuracy", meanAndDeviationJson(s.balancedAccuracy)},
          {"auc", meanAndDeviationJson(s.auc)},
          multiClass ? json{"macro_f1", meanAndDeviationJson(s.macroF1)}
                     : json{"undecided_share", meanAndDeviationJson(s.undecidedShare)},
          {"positive_patterns", meanAndDeviationJson(s.positivePatterns)},
          {"negative_patterns", meanAndDeviationJson(s.negativePatterns)},
          {"build_seconds", meanAndDeviationJson(s.buildSeconds)}};
}

}  // namespace

json metricsJson(const Metrics& m) {
  const ConfusionMatrix& c = m.confusion;
  json roc = json::array();
  for (const RocPoint& p : m.roc) {
    roc.push_back({{"threshold", p.threshold},
                   {"false_positive_rate", p.falsePositiveRate},
                   {"true_positive_rate", p.truePositiveRate}});
  }
  json out = {{"observations", m.positives + m.negatives},
          {"positives", m.positives},
          {"negatives", m.negatives},
          {"other_classes", m.others},
          {"undecided", m.undecided},
          {"accuracy", m.accuracy},
          {"decided_accuracy", m.decidedAccuracy},
          {"balanced_accuracy", m.balancedAccuracy},
          {"sensitivity", m.sensitivity},
          {"specificity", m.specificity},
          {"auc", m.auc},
          {"undecided_share", m.undecidedShare},
          {"confusion",
           {{"class_1",
             {{"forecast_1", c.truePositive},
              {"forecast_0", c.falseNegative},
              {"undecided", c.undecidedPositive}}},
            {"class_0",
             {{"forecast_1", c.falsePositive},
              {"forecast_0", c.trueNegative},
              {"undecided", c.undecidedNegative}}}}},
          {"roc", roc},
          {"score_histogram",
           {{"edges", m.histogram.edges},
            {"class_1", m.histogram.positive},
            {"class_0", m.histogram.negative}}}};
  // The undecided rule appears when it was used.
  if (m.undecidedAs != kOtherClass) {
    out["undecided_counted_as"] = m.undecidedAs;
    out["decided_by_rule"] = m.decidedByRule;
  }
  return out;
}

json classMetricsJson(const ClassMetrics& m) {
  json out;
  out["classes"] = m.classes;
  out["observations"] = m.rows;
  out["accuracy"] = m.accuracy;
  out["balanced_accuracy"] = m.balancedAccuracy;
  out["macro_f1"] = m.macroF1;
  out["confusion"] = m.confusion;
  out["auc"] = m.auc;
  return out;
}

json crossValidationJson(const CrossValidationResult& r, const ValidationOptions& options) {
  json folds = json::array();
  if (r.multiClass()) {
    for (const FoldResult& f : r.folds) {
      json fold = classMetricsJson(f.classMetrics);
      fold.erase("classes");
      fold["mean_auc"] = meanClassAuc(f.classMetrics);
      fold["positive_patterns"] = f.positivePatterns;
      fold["negative_patterns"] = f.negativePatterns;
      fold["build_seconds"] = f.buildSeconds;
      folds.push_back(fold);
    }
    return {{"folds", options.folds},
            {"seed", options.seed},
            {"parameters", parametersJson(r.parameters)},
            {"classes", r.pooledClasses.classes},
            {"per_fold", folds},
            {"summary", summaryJson(r.summary, true)},
            {"pooled", classMetricsJson(r.pooledClasses)}};
  }
  for (const FoldResult& f : r.folds) {
    folds.push_back({{"accuracy", f.metrics.accuracy},
                     {"balanced_accuracy", f.metrics.balancedAccuracy},
                     {"auc", f.metrics.auc},
                     {"undecided_share", f.metrics.undecidedShare},
                     {"observations", f.metrics.positives + f.metrics.negatives},
                     {"positive_patterns", f.positivePatterns},
                     {"negative_patterns", f.negativePatterns},
                     {"build_seconds", f.buildSeconds}});
  }
  return {{"folds", options.folds},
          {"seed", options.seed},
          {"parameters", parametersJson(r.parameters)},
          {"per_fold", folds},
          {"summary", summaryJson(r.summary, false)},
          {"pooled", metricsJson(r.pooled)}};
}

json tuningJson(const std::vector<CrossValidationResult>& ranked, const ValidationOptions& options,
                TuningCriterion criterion, const std::string& buildLine) {
  json sets = json::array();
  for (const CrossValidationResult& r : ranked) {
    sets.push_back({{"parameters", parametersJson(r.parameters)},
                    {"summary", summaryJson(r.summary, r.multiClass())}});
  }
  return {{"folds", options.folds},
          {"seed", options.seed},
          {"by", criterionName(criterion)},
          {"builds", ranked.size() * static_cast<std::size_t>(options.folds) *
                         (ranked.empty() ? 1 : ranked.front().modelsPerFold())},
          {"ranked", sets},
          {"best_build_command", buildLine}};
}
