#include "CrossValidation.h"

#include "TableIntake.h"

#include <tbb/parallel_for.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <random>
#include <set>

#include "BuildCost.h"
#include "LadError.h"
#include "ModelBuilding.h"
#include "SubsetSweep.h"

namespace {

using Clock = std::chrono::steady_clock;

// One build of a cross-validation run: a parameter set and the fold it leaves out.
struct FoldJob {
  std::size_t set;
  std::int32_t fold;
};

// The observations of the table outside `fold`, with its attributes and number format.
TrainingTable trainingFolds(const TrainingTable& table, const std::vector<std::int32_t>& folds,
                            std::int32_t fold) {
  return table.rowsWhere([&](std::size_t r) { return folds[r] != fold; });
}

// The table of a cross-validation or a tune as it is learned from: one two-class table, or for
// a table of several classes each class against the rest, with the classes and each
// observation's class (an index into them, or -1).
struct ValidationTables {
  std::vector<TrainingTable> models;  // what each model of a fold learns from, before the fold
  std::vector<std::string> classes;   // empty for a two-class table
  std::vector<std::int32_t> classIndex;

  bool multiClass() const { return !classes.empty(); }
  const TrainingTable& front() const { return models.front(); }
};

ValidationTables validationTables(const LearningParameters& parameters,
                                  const std::string& tableText, const ValidationOptions& options,
                                  const NumberFormat& format) {
  const BuildTables tables =
      intakeTables(parameters, tableText, options.source, options.reading, format);
  ValidationTables out;
  if (!tables.multiClass()) {
    out.models.push_back(tables.twoClass(format));
    return out;
  }
  const ReadTable& read = *tables.read;
  out.classes = read.layout.classes;
  for (std::size_t k = 0; k < out.classes.size(); ++k) {
    out.models.push_back(read.againstRest(k, format));
  }
  for (std::size_t r = 0; r < read.values.size(); ++r) out.classIndex.push_back(read.classIndex(r));
  return out;
}

// Reports builds done of all, a few times a second at most, and always the last one.
class BuildProgress {
 public:
  BuildProgress(const BuildControl& control, std::int64_t total)
      : control_(control), total_(total) {
    if (control_.progress) control_.progress(0, total_);
  }
  void oneDone() {
    if (!control_.progress) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    const Clock::time_point now = Clock::now();
    if (done_ == total_ || now - last_ >= std::chrono::milliseconds(100)) {
      last_ = now;
      control_.progress(done_, total_);
    }
  }

 private:
  const BuildControl& control_;
  std::int64_t total_;
  std::int64_t done_ = 0;
  Clock::time_point last_ = Clock::now();
  std::mutex mutex_;
};

MeanAndDeviation meanAndDeviation(const std::vector<double>& values) {
  std::vector<double> known;
  for (const double v : values) {
    if (!std::isnan(v)) known.push_back(v);
  }
  if (known.empty()) {
    return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
  }
  double sum = 0;
  for (const double v : known) sum += v;
  const double mean = sum / static_cast<double>(known.size());
  double squares = 0;
  for (const double v : known) squares += (v - mean) * (v - mean);
  const double deviation =
      known.size() > 1 ? std::sqrt(squares / static_cast<double>(known.size() - 1)) : 0.0;
  return {mean, deviation};
}

FoldSummary summarize(const std::vector<FoldResult>& folds, bool multiClass) {
  const auto over = [&](auto figure) {
    std::vector<double> values;
    for (const FoldResult& f : folds) values.push_back(figure(f));
    return meanAndDeviation(values);
  };
  FoldSummary s;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (multiClass) {
    s.accuracy = over([](const FoldResult& f) { return f.classMetrics.accuracy; });
    s.balancedAccuracy = over([](const FoldResult& f) { return f.classMetrics.balancedAccuracy; });
    s.auc = over([](const FoldResult& f) { return meanClassAuc(f.classMetrics); });
    s.undecidedShare = {nan, nan};
    s.macroF1 = over([](const FoldResult& f) { return f.classMetrics.macroF1; });
  } else {
    s.accuracy = over([](const FoldResult& f) { return f.metrics.accuracy; });
    s.balancedAccuracy = over([](const FoldResult& f) { return f.metrics.balancedAccuracy; });
    s.auc = over([](const FoldResult& f) { return f.metrics.auc; });
    s.undecidedShare = over([](const FoldResult& f) { return f.metrics.undecidedShare; });
    s.macroF1 = {nan, nan};
  }
  s.positivePatterns = over([](const FoldResult& f) { return double(f.positivePatterns); });
  s.negativePatterns = over([](const FoldResult& f) { return double(f.negativePatterns); });
  s.buildSeconds = over([](const FoldResult& f) { return f.buildSeconds; });
  return s;
}

void requireFoldCount(std::int32_t folds, std::size_t observations) {
  if (folds < 2) {
    throw LadError("The number of folds must be at least 2 (it is " + integerText(folds) + ")");
  }
  if (static_cast<std::size_t>(folds) > observations) {
    throw LadError("The data table has " + integerText(static_cast<std::int64_t>(observations)) +
                   " observation(s), too few for " + integerText(folds) + " folds");
  }
}

// Each list with its repeated values dropped, the first of each kept in place.
TuningGrid withoutRepeats(const TuningGrid& grid) {
  TuningGrid unique = grid;
  for (std::vector<double>* list : {&unique.positiveHomogeneity, &unique.positivePrevalence,
                                    &unique.negativeHomogeneity, &unique.negativePrevalence}) {
    std::vector<double> kept;
    std::set<double> seen;
    for (const double v : *list) {
      if (seen.insert(v).second) kept.push_back(v);
    }
    *list = std::move(kept);
  }
  const auto once = [](auto& list) {
    auto kept = list;
    kept.clear();
    for (const auto& v : list) {
      if (std::find(kept.begin(), kept.end(), v) == kept.end()) kept.push_back(v);
    }
    list = std::move(kept);
  };
  once(unique.degrees);
  once(unique.discretizations);
  once(unique.coverTargets);
  return unique;
}

// Refuses a cross-validation of `sets` parameter sets (at these grid size and degree) that
// could not fit in memory or would take hours: its builds, as many at once as there are
// threads, and what every set keeps (its results, held-out scores and jobs).
void requireAffordableValidation(const TrainingTable& table, const LearningParameters& p, double sets,
                                 const ValidationOptions& options, const std::string& what,
                                 const std::string& advice) {
  const auto folds = static_cast<double>(std::max(options.folds, 1));
  const double builds = sets * folds;
  const int cores = defaultThreadCount();
  const int threads =
      options.control.threads > 0 ? std::min(options.control.threads, cores) : cores;
  const double perSet =
      static_cast<double>(sizeof(LearningParameters) + 2 * sizeof(CrossValidationResult) +
                          sizeof(std::vector<double>) + 8 * table.rows()) +
      folds * static_cast<double>(sizeof(FoldResult) + sizeof(FoldJob)) + 400;  // report lines
  const double extra = sets * perSet;
  const auto saturated = [](double x) {
    return x >= 1.8e19 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(x);
  };
  BuildRun run;
  run.cost =
      estimateBuildCost(table.rows(), largestBinCounts(table.values(), p.gridSize), p.degree);
  run.atOnce = static_cast<int>(std::min<double>(threads, builds));
  run.builds = static_cast<std::int64_t>(std::min(builds, 9.2e18));
  run.extraBytes = saturated(extra);
  requireAffordable(what, run, advice);
}

// One build of a cross-validation run: a parameter set, the fold it leaves out and the model
// of the fold (the class against the rest of a table of several classes, else 0).
struct ModelJob {
  FoldJob fold;
  std::size_t model;
};

// The figures of the held-out observations `rows` from their scores: by score for a two-class
// table, by the forecast class for one of several (scores[k] is model k's score).
void judgeFold(const ValidationTables& tables, const std::vector<std::vector<double>>& scores,
               const std::vector<std::size_t>& rows, std::int32_t undecidedAs, Metrics& metrics,
               ClassMetrics& classMetrics) {
  if (!tables.multiClass()) {
    // The class of an observation as evaluation counts it.
    const arrint& classes = tables.front().classes();
    std::vector<ScoredObservation> heldOut;
    for (const std::size_t r : rows) {
      const std::int32_t c = classes[r];
      heldOut.push_back({c == 1 || c == 0 ? c : kOtherClass, scores[0][r]});
    }
    metrics = evaluateScores(heldOut);
    if (undecidedAs != kOtherClass) decideUndecided(metrics, undecidedAs);
    return;
  }
  std::vector<ClassForecast> forecasts;
  for (const std::size_t r : rows) {
    ClassForecast row;
    const std::int32_t c = tables.classIndex[r];
    if (c >= 0) row.classField = tables.classes[static_cast<std::size_t>(c)];
    for (const std::vector<double>& model : scores) row.scores.push_back(model[r]);
    row.forecast = forecastClass(row.scores);
    forecasts.push_back(std::move(row));
  }
  classMetrics = evaluateClassForecasts(tables.classes, forecasts);
}

// Cross-validates every parameter set with the same folds of the table, all builds in
// parallel; the result of each set is in the order of `sets`.
// A cancelled run raises `cancelled`.
std::vector<CrossValidationResult> validateSets(const ValidationTables& tables,
                                                const std::vector<LearningParameters>& sets,
                                                const ValidationOptions& options,
                                                const char* cancelled) {
  const TrainingTable& table = tables.front();
  requireFoldCount(options.folds, table.rows());
  const std::vector<std::int32_t> folds =
      tables.multiClass()
          ? foldsByClass(tables.classIndex, static_cast<std::int32_t>(tables.classes.size()),
                         options.folds, options.seed)
          : stratifiedFolds(table.classes(), options.folds, options.seed);
  const std::size_t models = tables.models.size();
  std::vector<ModelJob> jobs;
  for (std::int32_t f = 0; f < options.folds; ++f) {
    for (std::size_t s = 0; s < sets.size(); ++s) {
      for (std::size_t k = 0; k < models; ++k) jobs.push_back({{s, f}, k});
    }
  }
  std::vector<CrossValidationResult> results(sets.size());
  // Held-out scores per set, model and observation, for the fold and pooled figures.
  std::vector<std::vector<std::vector<double>>> scores(
      sets.size(), std::vector<std::vector<double>>(models, std::vector<double>(table.rows())));
  // Per set, fold and model: the pattern counts and build time, added up per fold afterwards
  // so that the sums do not depend on the order the builds finish in.
  struct Built {
    std::int32_t positive = 0;
    std::int32_t negative = 0;
    double seconds = 0;
  };
  std::vector<Built> built(jobs.size());
  for (std::size_t s = 0; s < sets.size(); ++s) {
    results[s].parameters = sets[s];
    results[s].folds.resize(static_cast<std::size_t>(options.folds));
  }

  BuildProgress progress(options.control, static_cast<std::int64_t>(jobs.size()));
  BuildControl inner;  // each build on one thread: the builds themselves run side by side
  inner.threads = 1;
  inner.cancel = options.control.cancel;
  inner.kernel = options.control.kernel;
  const auto buildEveryFold = [&] {
    tbb::parallel_for(std::size_t{0}, jobs.size(), [&](std::size_t j) {
      if (options.control.cancelled()) throw LadError(cancelled);
      const ModelJob job = jobs[j];
      const TrainingTable kept = trainingFolds(tables.models[job.model], folds, job.fold.fold);
      const Clock::time_point start = Clock::now();
      const Model model = buildModel(kept, sets[job.fold.set], inner);
      if (options.control.cancelled()) throw LadError(cancelled);
      built[j] = {model.positive().size(), model.negative().size(),
                  std::chrono::duration<double>(Clock::now() - start).count()};
      std::vector<double>& scored = scores[job.fold.set][job.model];
      for (std::size_t r = 0; r < table.rows(); ++r) {
        if (folds[r] == job.fold.fold) scored[r] = model.score(table.values()[r]);
      }
      progress.oneDone();
    });
  };
  try {
    runWithThreads(options.control.threads, [&] { buildEveryFold(); });
  } catch (const LadError&) {
    // A build stopped by the flag says "Build cancelled"; the run as a whole was cancelled.
    if (options.control.cancelled()) throw LadError(cancelled);
    throw;
  }

  for (std::size_t j = 0; j < jobs.size(); ++j) {
    FoldResult& result =
        results[jobs[j].fold.set].folds[static_cast<std::size_t>(jobs[j].fold.fold)];
    result.positivePatterns += built[j].positive;
    result.negativePatterns += built[j].negative;
    result.buildSeconds += built[j].seconds;
  }
  std::vector<std::vector<std::size_t>> foldRows(static_cast<std::size_t>(options.folds));
  std::vector<std::size_t> allRows;
  for (std::size_t r = 0; r < table.rows(); ++r) {
    foldRows[static_cast<std::size_t>(folds[r])].push_back(r);
    allRows.push_back(r);
  }
  for (std::size_t s = 0; s < sets.size(); ++s) {
    for (std::size_t f = 0; f < foldRows.size(); ++f) {
      FoldResult& result = results[s].folds[f];
      judgeFold(tables, scores[s], foldRows[f], options.undecidedAs, result.metrics,
                result.classMetrics);
    }
    judgeFold(tables, scores[s], allRows, options.undecidedAs, results[s].pooled,
              results[s].pooledClasses);
    results[s].summary = summarize(results[s].folds, tables.multiClass());
  }
  return results;
}

const MeanAndDeviation& criterionFigure(const CrossValidationResult& r, TuningCriterion c) {
  switch (c) {
    case TuningCriterion::Accuracy:
      return r.summary.accuracy;
    case TuningCriterion::Auc:
      return r.summary.auc;
    case TuningCriterion::BalancedAccuracy:
      break;
  }
  return r.summary.balancedAccuracy;
}

// Higher first, NaN last; 0 when equal.
int compareHigher(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return std::isnan(x) - std::isnan(y);
  return x > y ? -1 : (x < y ? 1 : 0);
}

}  // namespace

std::vector<std::int32_t> foldsByClass(const std::vector<std::int32_t>& classIndex,
                                       std::int32_t classCount, std::int32_t folds,
                                       std::uint64_t seed) {
  std::vector<std::int32_t> fold(classIndex.size(), 0);
  if (folds < 1) return fold;
  // The standard engine is the same everywhere; the shuffle and the draw are written out
  // because the library's are not.
  std::mt19937_64 random(seed);
  std::int32_t next = 0;
  const auto deal = [&](auto belongs) {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < classIndex.size(); ++r) {
      if (belongs(classIndex[r])) rows.push_back(r);
    }
    for (std::size_t i = rows.size(); i > 1; --i) std::swap(rows[i - 1], rows[random() % i]);
    for (const std::size_t r : rows) {
      fold[r] = next;
      next = (next + 1) % folds;
    }
  };
  for (std::int32_t c = 0; c < classCount; ++c) {
    deal([c](std::int32_t k) { return k == c; });
  }
  deal([classCount](std::int32_t k) { return k < 0 || k >= classCount; });
  return fold;
}

std::vector<std::int32_t> stratifiedFolds(const arrint& classes, std::int32_t folds,
                                          std::uint64_t seed) {
  std::vector<std::int32_t> classIndex;
  classIndex.reserve(classes.size());
  for (const std::int32_t c : classes) classIndex.push_back(c == 1 ? 0 : c == 0 ? 1 : -1);
  return foldsByClass(classIndex, 2, folds, seed);
}

CrossValidationResult crossValidate(const LearningParameters& parameters,
                                    const std::string& tableText, const ValidationOptions& options,
                                    const NumberFormat& format) {
  const ValidationTables tables = validationTables(parameters, tableText, options, format);
  requireAffordableValidation(tables.front(), parameters, static_cast<double>(tables.models.size()),
                              options,
                              "The cross-validation of " + integerText(options.folds) + " folds",
                              "the Grid Size or the Degree");
  return validateSets(tables, {parameters}, options, "Cross-validation cancelled").front();
}

std::vector<double> readShareList(ParameterField field, const std::string& text,
                                  const NumberFormat& format) {
  const std::string separators = format.decimalSeparator == "," ? "; \t" : ";, \t";
  std::vector<double> values;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find_first_of(separators, at), text.size());
    if (end > at) {
      const std::string item = text.substr(at, end - at);
      double value = 0;
      try {
        value = numberFromText(item, format);
      } catch (const EConvertError& e) {
        throw ParameterError(field, e.what());
      }
      if (!(value >= 0.0 && value <= 1.0)) {
        throw ParameterError(
            field, "every value must lie between 0 and 1 (one is " + quotedForMessage(item) + ")");
      }
      values.push_back(value);
    }
    at = end + 1;
  }
  if (values.empty()) throw ParameterError(field, "the list of values is empty");
  return values;
}

std::string shareListText(const std::vector<double>& values, const NumberFormat& format) {
  std::string text;
  for (const double v : values) text += (text.empty() ? "" : "; ") + numberText(v, format);
  return text;
}

TuningGrid readTuningGrid(const TuningListTexts& texts, const NumberFormat& format) {
  using F = ParameterField;
  TuningGrid grid;
  grid.positiveHomogeneity =
      readShareList(F::PositiveHomogeneity, texts.positiveHomogeneity, format);
  grid.positivePrevalence = readShareList(F::PositivePrevalence, texts.positivePrevalence, format);
  grid.negativeHomogeneity =
      readShareList(F::NegativeHomogeneity, texts.negativeHomogeneity, format);
  grid.negativePrevalence = readShareList(F::NegativePrevalence, texts.negativePrevalence, format);
  return grid;
}

TuningListTexts tuningListTexts(const TuningGrid& grid, const NumberFormat& format) {
  return {shareListText(grid.positiveHomogeneity, format),
          shareListText(grid.positivePrevalence, format),
          shareListText(grid.negativeHomogeneity, format),
          shareListText(grid.negativePrevalence, format)};
}

const char* criterionName(TuningCriterion criterion) {
  switch (criterion) {
    case TuningCriterion::Accuracy:
      return "accuracy";
    case TuningCriterion::Auc:
      return "auc";
    case TuningCriterion::BalancedAccuracy:
      break;
  }
  return "balanced-accuracy";
}

ParameterTexts firstTuningSet(const ParameterTexts& parameters, const TuningGrid& grid,
                              const NumberFormat& format) {
  ParameterTexts first = parameters;
  first.positiveHomogeneity = numberText(grid.positiveHomogeneity.front(), format);
  first.positivePrevalence = numberText(grid.positivePrevalence.front(), format);
  first.negativeHomogeneity = numberText(grid.negativeHomogeneity.front(), format);
  first.negativePrevalence = numberText(grid.negativePrevalence.front(), format);
  return first;
}

std::vector<CrossValidationResult> tuneParameters(
    const LearningParameters& parameters, const TuningGrid& typed, const std::string& tableText,
    const ValidationOptions& options, TuningCriterion criterion, const NumberFormat& format) {
  // A value typed twice would only build the same models again.
  const TuningGrid grid = withoutRepeats(typed);
  using F = ParameterField;
  const std::pair<F, const std::vector<double>*> lists[] = {
      {F::PositiveHomogeneity, &grid.positiveHomogeneity},
      {F::PositivePrevalence, &grid.positivePrevalence},
      {F::NegativeHomogeneity, &grid.negativeHomogeneity},
      {F::NegativePrevalence, &grid.negativePrevalence}};
  for (const auto& [field, list] : lists) {
    if (list->empty()) throw ParameterError(field, "the list of values is empty");
    for (const double v : *list) {
      if (!(v >= 0.0 && v <= 1.0)) {
        throw ParameterError(
            field, "every value must lie between 0 and 1 (one is " + numberText(v, format) + ")");
      }
    }
  }
  const std::vector<std::int32_t> degrees =
      grid.degrees.empty() ? std::vector<std::int32_t>{parameters.degree} : grid.degrees;
  const std::vector<Discretization> discretizations =
      grid.discretizations.empty() ? std::vector<Discretization>{parameters.discretization}
                                   : grid.discretizations;
  const std::vector<std::int32_t> covers =
      grid.coverTargets.empty() ? std::vector<std::int32_t>{parameters.coverTarget}
                                : grid.coverTargets;
  for (const std::int32_t d : degrees) {
    if (d < 1) throw ParameterError(F::Degree, "every degree must be at least 1 (one is " + integerText(d) + ")");
  }
  const ValidationTables tables = validationTables(parameters, tableText, options, format);
  double setCount = 1;
  std::string counts;
  for (const auto& [field, list] : lists) {
    setCount *= static_cast<double>(list->size());
    counts += (counts.empty() ? "" : " x ") + integerText(static_cast<std::int64_t>(list->size()));
  }
  for (const std::size_t n : {degrees.size(), discretizations.size(), covers.size()}) {
    if (n == 1) continue;
    setCount *= static_cast<double>(n);
    counts += " x " + integerText(static_cast<std::int64_t>(n));
  }
  // The cost is that of the highest degree.
  LearningParameters costliest = parameters;
  costliest.degree = *std::max_element(degrees.begin(), degrees.end());
  requireAffordableValidation(
      tables.front(), costliest, setCount * static_cast<double>(tables.models.size()), options,
      "Tuning " + countText(setCount) + " parameter sets (" + counts + " values) over " +
          integerText(options.folds) + " folds",
      "the number of values in the lists, the Folds, the Grid Size or the Degree");
  std::vector<LearningParameters> sets;
  for (const std::int32_t degree : degrees) {
    for (const Discretization discretization : discretizations) {
      for (const std::int32_t cover : covers) {
        for (const double ph : grid.positiveHomogeneity) {
          for (const double pp : grid.positivePrevalence) {
            for (const double nh : grid.negativeHomogeneity) {
              for (const double np : grid.negativePrevalence) {
                LearningParameters set = parameters;
                set.degree = degree;
                set.discretization = discretization;
                set.coverTarget = cover;
                set.positiveHomogeneity = ph;
                set.positivePrevalence = pp;
                set.negativeHomogeneity = nh;
                set.negativePrevalence = np;
                sets.push_back(set);
              }
            }
          }
        }
      }
    }
  }
  std::vector<CrossValidationResult> results =
      validateSets(tables, sets, options, "Tuning cancelled");
  std::stable_sort(results.begin(), results.end(), [&](const auto& x, const auto& y) {
    int order =
        compareHigher(criterionFigure(x, criterion).mean, criterionFigure(y, criterion).mean);
    if (order == 0) order = compareHigher(x.summary.auc.mean, y.summary.auc.mean);
    if (order == 0) {
      const double px = x.summary.positivePatterns.mean + x.summary.negativePatterns.mean;
      const double py = y.summary.positivePatterns.mean + y.summary.negativePatterns.mean;
      order = -compareHigher(px, py);
    }
    return order < 0;
  });
  return results;
}

std::string whyUnranked(const std::vector<CrossValidationResult>& ranked,
                        TuningCriterion criterion) {
  // The best set comes first: when its figure is n/a, every set's is.
  if (!ranked.empty() && !std::isnan(criterionFigure(ranked.front(), criterion).mean)) return "";
  if (!ranked.empty() && ranked.front().multiClass()) {
    // Every fold holds rows of a known class, so only the AUC can be n/a throughout.
    return std::string("No parameter set could be ranked: the ") + criterionName(criterion) +
           " of every set is n/a, because no fold has held-out observations of two classes or "
           "more (use fewer folds)";
  }
  const char* needs = criterion == TuningCriterion::Accuracy
                          ? "held-out observations of class 1 or 0"
                          : "held-out observations of both class 1 and class 0";
  return std::string("No parameter set could be ranked: the ") + criterionName(criterion) +
         " of every set is n/a, because no fold has " + needs +
         " (the table's classes must be 1 and 0, with both present)";
}

namespace {

ValidationCost costOf(const TrainingTable& table, const LearningParameters& costliest, double sets,
                      const ValidationOptions& options) {
  const double builds = sets * static_cast<double>(std::max(options.folds, 1));
  const int cores = defaultThreadCount();
  ValidationCost cost;
  cost.threads = options.control.threads > 0 ? std::min(options.control.threads, cores) : cores;
  cost.builds = static_cast<std::int64_t>(std::min(builds, 9.2e18));
  const BuildCost build = estimateBuildCost(
      table.rows(), largestBinCounts(table.values(), costliest.gridSize), costliest.degree);
  cost.seconds = build.boxes * builds / (kBoxesPerSecond * cost.threads);
  return cost;
}

}  // namespace

ValidationCost crossValidationCost(const LearningParameters& parameters,
                                   const std::string& tableText, const ValidationOptions& options,
                                   const NumberFormat& format) {
  const ValidationTables tables = validationTables(parameters, tableText, options, format);
  return costOf(tables.front(), parameters, static_cast<double>(tables.models.size()), options);
}

ValidationCost tuningCost(const LearningParameters& parameters, const TuningGrid& typed,
                          const std::string& tableText, const ValidationOptions& options,
                          const NumberFormat& format) {
  const TuningGrid grid = withoutRepeats(typed);
  double sets = 1;
  for (const std::size_t n : {grid.positiveHomogeneity.size(), grid.positivePrevalence.size(),
                              grid.negativeHomogeneity.size(), grid.negativePrevalence.size(),
                              grid.discretizations.size(), grid.coverTargets.size()}) {
    sets *= static_cast<double>(std::max<std::size_t>(n, 1));
  }
  LearningParameters costliest = parameters;
  if (!grid.degrees.empty()) {
    sets *= static_cast<double>(grid.degrees.size());
    costliest.degree = *std::max_element(grid.degrees.begin(), grid.degrees.end());
  }
  const ValidationTables tables = validationTables(costliest, tableText, options, format);
  return costOf(tables.front(), costliest, sets * static_cast<double>(tables.models.size()),
                options);
}

std::string validationCostText(const ValidationCost& cost) {
  return integerText(cost.builds) + (cost.builds == 1 ? " build" : " builds") + ", up to about " +
         durationText(cost.seconds) + " on " + integerText(cost.threads) +
         (cost.threads == 1 ? " thread" : " threads");
}

std::vector<std::string> listWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text + ";") {
    if (c == ';' || c == ',' || c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  return words;
}

namespace {

bool readWhole(const std::string& text, std::int32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::vector<std::int32_t> readDegreeList(const std::string& text) {
  std::vector<std::int32_t> degrees;
  for (const std::string& word : listWords(text)) {
    std::int32_t d = 0;
    if (!readWhole(word, d) || d < 1) {
      throw LadError("Degrees: " + quotedForMessage(word) +
                     " is not a degree; give whole numbers of at least 1, such as 2; 3");
    }
    degrees.push_back(d);
  }
  return degrees;
}

std::vector<std::int32_t> readSelectionList(const std::string& text) {
  std::vector<std::int32_t> covers;
  for (const std::string& word : listWords(text)) {
    std::int32_t k = 0;
    const bool cover = word.rfind("cover:", 0) == 0 && readWhole(word.substr(6), k) && k >= 1;
    if (word == "none") {
      k = 0;
    } else if (!cover && !(readWhole(word, k) && k >= 0)) {
      throw LadError("Selections: " + quotedForMessage(word) +
                     " is not a selection; give none or 0 (every pattern kept) and cover:K or K "
                     "(each training observation covered K times), such as 0; 1; 3");
    }
    covers.push_back(k);
  }
  return covers;
}
