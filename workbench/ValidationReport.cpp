#include "ValidationReport.h"

#include <cmath>
#include <cstdio>

namespace {

// Right-aligns text in a column of the given width.
std::string cell(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string fixed(double value, int decimals, const NumberFormat& format) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string result = text;
  const std::size_t point = result.find('.');
  if (point != std::string::npos) result.replace(point, 1, format.decimalSeparator);
  return result;
}

std::string parameterLine(const LearningParameters& p, const NumberFormat& format) {
  return "grid size " + integerText(p.gridSize) + ", degree " + integerText(p.degree) +
         ", positive homogeneity " + numberText(p.positiveHomogeneity, format) +
         ", positive prevalence " + numberText(p.positivePrevalence, format) +
         ", negative homogeneity " + numberText(p.negativeHomogeneity, format) +
         ", negative prevalence " + numberText(p.negativePrevalence, format) +
         (p.discretization == Discretization::ClassAware ? ", class-aware cut points" : "") +
         (p.coverTarget > 0 ? ", selection cover:" + integerText(p.coverTarget) : "");
}

// A word as a POSIX shell reads it back.
std::string shellWord(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789-_./=:+,@%") == std::string::npos) {
    return word;
  }
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// A table argument as a POSIX shell reads it back and the command line takes it: a file name
// beginning with "-" (other than "-", standard input) gets "./" so that it is not an option.
std::string tableWord(const std::string& table) {
  return shellWord(table.size() > 1 && table[0] == '-' ? "./" + table : table);
}

}  // namespace

std::vector<std::string> crossValidationReport(const CrossValidationResult& r,
                                               const NumberFormat& format) {
  const auto figure = [&](double v) { return cell(metricText(v, format), 10); };
  // A table of several classes has no undecided observations: its fourth figure is the macro
  // F1, and its rows are those of a known class.
  const bool classes = r.multiClass();
  const auto fourth = [&](const FoldSummary& s) -> const MeanAndDeviation& {
    return classes ? s.macroF1 : s.undecidedShare;
  };
  std::vector<std::string> lines;
  lines.push_back("Cross-validation with " + parameterLine(r.parameters, format));
  if (classes) {
    lines.push_back(integerText(static_cast<std::int64_t>(r.pooledClasses.classes.size())) +
                    " classes: per fold one model per class against the rest; each row is "
                    "forecast the class whose model scores highest");
  }
  lines.push_back(cell("Fold", 5) + cell("Accuracy", 10) + cell("Balanced", 10) + cell("AUC", 10) +
                  cell(classes ? "Macro F1" : "Undecided", 10) + cell("Rows", 6) +
                  cell("Positive", 9) + cell("Negative", 9) + cell("Seconds", 9));
  for (std::size_t i = 0; i < r.folds.size(); ++i) {
    const FoldResult& f = r.folds[i];
    const ClassMetrics& c = f.classMetrics;
    const double auc = classes ? meanClassAuc(c) : f.metrics.auc;
    lines.push_back(
        cell(integerText(static_cast<std::int64_t>(i + 1)), 5) +
        figure(classes ? c.accuracy : f.metrics.accuracy) +
        figure(classes ? c.balancedAccuracy : f.metrics.balancedAccuracy) + figure(auc) +
        figure(classes ? c.macroF1 : f.metrics.undecidedShare) +
        cell(integerText(classes ? c.rows : f.metrics.positives + f.metrics.negatives), 6) +
        cell(integerText(f.positivePatterns), 9) + cell(integerText(f.negativePatterns), 9) +
        cell(fixed(f.buildSeconds, 3, format), 9));
  }
  const FoldSummary& s = r.summary;
  const auto row = [&](const char* label, auto pick) {
    return cell(label, 5) + figure(pick(s.accuracy)) + figure(pick(s.balancedAccuracy)) +
           figure(pick(s.auc)) + figure(pick(fourth(s))) + cell("", 6) +
           cell(fixed(pick(s.positivePatterns), 1, format), 9) +
           cell(fixed(pick(s.negativePatterns), 1, format), 9) +
           cell(fixed(pick(s.buildSeconds), 3, format), 9);
  };
  lines.push_back(row("Mean", [](const MeanAndDeviation& m) { return m.mean; }));
  lines.push_back(row("SD", [](const MeanAndDeviation& m) { return m.deviation; }));
  if (classes) {
    lines.push_back(
        "The AUC of a fold is the mean of its classes' AUCs against the rest; the "
        "patterns are those of the fold's models together.");
    lines.push_back("");
    lines.push_back("Every observation forecast by the models that did not learn it:");
    for (const std::string& line : classMetricsReport(r.pooledClasses, format)) {
      lines.push_back(line);
    }
    return lines;
  }
  // What the means leave out, and folds whose model cannot tell the classes apart.
  std::size_t judged = 0;
  for (const FoldResult& f : r.folds) judged += std::isnan(f.metrics.auc) ? 0 : 1;
  if (judged < r.folds.size()) {
    lines.push_back("Balanced accuracy and AUC are averaged over the " +
                    integerText(static_cast<std::int64_t>(judged)) + " of " +
                    integerText(static_cast<std::int64_t>(r.folds.size())) +
                    " folds that hold both classes.");
  }
  for (std::size_t i = 0; i < r.folds.size(); ++i) {
    const FoldResult& f = r.folds[i];
    if (f.positivePatterns > 0 && f.negativePatterns > 0) continue;
    lines.push_back("Fold " + integerText(static_cast<std::int64_t>(i + 1)) + " learned no " +
                    (f.positivePatterns == 0 ? "positive" : "negative") +
                    " patterns: its model scores with one side only (too few rows of that "
                    "class, or thresholds too strict).");
  }
  lines.push_back("");
  lines.push_back("Every observation scored by the model that did not learn it:");
  for (const std::string& line : metricsReport(r.pooled, format)) lines.push_back(line);
  return lines;
}

std::vector<std::string> tuningReport(const std::vector<CrossValidationResult>& ranked,
                                      TuningCriterion criterion, const NumberFormat& format) {
  std::vector<std::string> lines;
  const std::size_t folds = ranked.empty() ? 0 : ranked.front().folds.size();
  const std::size_t models = ranked.empty() ? 1 : ranked.front().modelsPerFold();
  lines.push_back("Tuning: " + integerText(static_cast<std::int64_t>(ranked.size())) +
                  " parameter sets, " + integerText(static_cast<std::int64_t>(folds)) +
                  " folds each, " +
                  integerText(static_cast<std::int64_t>(ranked.size() * folds * models)) +
                  " builds" + (models > 1 ? " (a model per class)" : "") + "; ranked by " +
                  criterionName(criterion) + " (mean over the folds)");
  // The degree, the cut points and the selection get a column when they vary.
  const auto varies = [&](auto pick) {
    for (const CrossValidationResult& r : ranked) {
      if (pick(r.parameters) != pick(ranked.front().parameters)) return true;
    }
    return false;
  };
  const bool degrees = varies([](const LearningParameters& p) { return p.degree; });
  const bool cuts = varies([](const LearningParameters& p) { return p.discretization; });
  const bool covers = varies([](const LearningParameters& p) { return p.coverTarget; });
  const auto choices = [&](const LearningParameters& p) {
    std::string out;
    if (degrees) out += cell(integerText(p.degree), 7);
    if (cuts) out += cell(p.discretization == Discretization::ClassAware ? "class" : "equal", 7);
    if (covers) out += cell(p.coverTarget > 0 ? "cover:" + integerText(p.coverTarget) : "none", 9);
    return out;
  };
  lines.push_back(
      cell("Rank", 5) + (degrees ? cell("Degree", 7) : "") + (cuts ? cell("Cuts", 7) : "") +
      (covers ? cell("Select", 9) : "") + cell("PosHom", 8) + cell("PosPrev", 8) +
      cell("NegHom", 8) + cell("NegPrev", 8) + cell("Balanced", 10) + cell("(SD)", 8) +
      cell("Accuracy", 10) + cell("AUC", 8) +
      cell(!ranked.empty() && ranked.front().multiClass() ? "Macro F1" : "Undecided", 10) +
      cell("Patterns", 10));
  for (std::size_t i = 0; i < ranked.size(); ++i) {
    const CrossValidationResult& r = ranked[i];
    const FoldSummary& s = r.summary;
    const LearningParameters& p = r.parameters;
    lines.push_back(
        cell(integerText(static_cast<std::int64_t>(i + 1)), 5) + choices(p) +
        cell(numberText(p.positiveHomogeneity, format), 8) +
        cell(numberText(p.positivePrevalence, format), 8) +
        cell(numberText(p.negativeHomogeneity, format), 8) +
        cell(numberText(p.negativePrevalence, format), 8) +
        cell(metricText(s.balancedAccuracy.mean, format), 10) +
        cell(metricText(s.balancedAccuracy.deviation, format), 8) +
        cell(metricText(s.accuracy.mean, format), 10) + cell(metricText(s.auc.mean, format), 8) +
        cell(metricText(r.multiClass() ? s.macroF1.mean : s.undecidedShare.mean, format), 10) +
        cell(fixed(s.positivePatterns.mean + s.negativePatterns.mean, 1, format), 10));
  }
  return lines;
}

std::string buildCommandLine(const std::string& table, const LearningParameters& p,
                             const NumberFormat& format) {
  std::string line = "lad build";
  if (!table.empty()) line += " " + tableWord(table);
  return line + " --grid-size " + integerText(p.gridSize) + " --degree " + integerText(p.degree) +
         " --positive-homogeneity " + shellWord(numberText(p.positiveHomogeneity, format)) +
         " --positive-prevalence " + shellWord(numberText(p.positivePrevalence, format)) +
         " --negative-homogeneity " + shellWord(numberText(p.negativeHomogeneity, format)) +
         " --negative-prevalence " + shellWord(numberText(p.negativePrevalence, format)) +
         (p.discretization == Discretization::ClassAware ? " --discretize class-aware" : "") +
         (p.coverTarget > 0 ? " --select cover:" + integerText(p.coverTarget) : "");
}
