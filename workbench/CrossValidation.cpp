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

FoldSummary summarize(const std::vector<FoldResult>& folds) {
  const auto over = [&](auto figure) {
    std::vector<double> values;
    for (const FoldResult& f : folds) values.push_back(figure(f));
    return meanAndDeviation(values);
  };
  FoldSummary s;
  s.accuracy = over([](const FoldResult& f) { return f.metrics.accuracy; });
  s.balancedAccuracy = over([](const FoldResult& f) { return f.metrics.balancedAccuracy; });
  s.auc = over([](const FoldResult& f) { return f.metrics.auc; });
  s.undecidedShare = over([](const FoldResult& f) { return f.metrics.undecidedShare; });
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

// Cross-validates every parameter set with the same folds of the table, all builds in
// parallel; the result of each set is in the order of `sets`.
// A cancelled run raises `cancelled`.
std::vector<CrossValidationResult> validateSets(const TrainingTable& table,
                                                const std::vector<LearningParameters>& sets,
                                                const ValidationOptions& options,
                                                const char* cancelled) {
  requireFoldCount(options.folds, table.rows());
  const std::vector<std::int32_t> folds =
      stratifiedFolds(table.classes(), options.folds, options.seed);
  std::vector<FoldJob> jobs;
  for (std::int32_t f = 0; f < options.folds; ++f) {
    for (std::size_t s = 0; s < sets.size(); ++s) jobs.push_back({s, f});
  }
  std::vector<CrossValidationResult> results(sets.size());
  // Held-out scores per set and observation, for the pooled figures.
  std::vector<std::vector<double>> scores(sets.size(), std::vector<double>(table.rows()));
  for (std::size_t s = 0; s < sets.size(); ++s) {
    results[s].parameters = sets[s];
    results[s].folds.resize(static_cast<std::size_t>(options.folds));
  }

  // The class of an observation as evaluation counts it.
  const auto classOf = [&](std::size_t r) {
    const std::int32_t c = table.classes()[r];
    return c == 1 || c == 0 ? c : kOtherClass;
  };
  BuildProgress progress(options.control, static_cast<std::int64_t>(jobs.size()));
  BuildControl inner;  // each build on one thread: the builds themselves run side by side
  inner.threads = 1;
  inner.cancel = options.control.cancel;
  inner.kernel = options.control.kernel;
  const auto buildEveryFold = [&] {
    tbb::parallel_for(std::size_t{0}, jobs.size(), [&](std::size_t j) {
      if (options.control.cancelled()) throw LadError(cancelled);
      const FoldJob job = jobs[j];
      const TrainingTable kept = trainingFolds(table, folds, job.fold);
      const Clock::time_point start = Clock::now();
      const Model model = buildModel(kept, sets[job.set], inner);
      if (options.control.cancelled()) throw LadError(cancelled);
      FoldResult& result = results[job.set].folds[static_cast<std::size_t>(job.fold)];
      result.buildSeconds = std::chrono::duration<double>(Clock::now() - start).count();
      result.positivePatterns = model.positive().size();
      result.negativePatterns = model.negative().size();
      std::vector<ScoredObservation> heldOut;
      for (std::size_t r = 0; r < table.rows(); ++r) {
        if (folds[r] != job.fold) continue;
        const double score = model.score(table.values()[r]);
        scores[job.set][r] = score;
        heldOut.push_back({classOf(r), score});
      }
      result.metrics = evaluateScores(heldOut);
      if (options.undecidedAs != kOtherClass) decideUndecided(result.metrics, options.undecidedAs);
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

  for (std::size_t s = 0; s < sets.size(); ++s) {
    std::vector<ScoredObservation> all;
    for (std::size_t r = 0; r < table.rows(); ++r) all.push_back({classOf(r), scores[s][r]});
    results[s].pooled = evaluateScores(all);
    if (options.undecidedAs != kOtherClass) decideUndecided(results[s].pooled, options.undecidedAs);
    results[s].summary = summarize(results[s].folds);
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

std::vector<std::int32_t> stratifiedFolds(const arrint& classes, std::int32_t folds,
                                          std::uint64_t seed) {
  std::vector<std::int32_t> fold(classes.size(), 0);
  if (folds < 1) return fold;
  // The standard engine is the same everywhere; the shuffle and the draw are written out
  // because the library's are not.
  std::mt19937_64 random(seed);
  std::int32_t next = 0;
  const auto deal = [&](auto belongs) {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < classes.size(); ++r) {
      if (belongs(classes[r])) rows.push_back(r);
    }
    for (std::size_t i = rows.size(); i > 1; --i) std::swap(rows[i - 1], rows[random() % i]);
    for (const std::size_t r : rows) {
      fold[r] = next;
      next = (next + 1) % folds;
    }
  };
  deal([](std::int32_t c) { return c == 1; });
  deal([](std::int32_t c) { return c == 0; });
  deal([](std::int32_t c) { return c != 1 && c != 0; });
  return fold;
}

TrainingTable validationTable(const LearningParameters& parameters, const std::string& tableText,
                              const ValidationOptions& options, const NumberFormat& format) {
  const BuildTables tables =
      intakeTables(parameters, tableText, options.source, options.reading, format);
  if (tables.multiClass()) {
    throw LadError(options.source + ": the class column " +
                   quotedForMessage(tables.read->layout.classColumn) + " has " +
                   integerText(static_cast<std::int64_t>(tables.read->layout.classes.size())) +
                   " classes; cross-validation judges one class against the rest: say which "
                   "with --positive");
  }
  return tables.twoClass(format);
}

CrossValidationResult crossValidate(const LearningParameters& parameters,
                                    const std::string& tableText, const ValidationOptions& options,
                                    const NumberFormat& format) {
  const TrainingTable table = validationTable(parameters, tableText, options, format);
  requireAffordableValidation(table, parameters, 1, options,
                              "The cross-validation of " + integerText(options.folds) + " folds",
                              "the Grid Size or the Degree");
  return validateSets(table, {parameters}, options, "Cross-validation cancelled").front();
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
  const TrainingTable table = validationTable(parameters, tableText, options, format);
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
      table, costliest, setCount, options,
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
      validateSets(table, sets, options, "Tuning cancelled");
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
  return costOf(intake(parameters, tableText, format), parameters, 1, options);
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
  return costOf(intake(costliest, tableText, format), costliest, sets, options);
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
