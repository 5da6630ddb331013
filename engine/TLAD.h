// The LAD model: parameters, training table, discretization and the two pandects.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "BuildControl.h"
#include "LearningParameters.h"
#include "LineFile.h"
#include "MyLists.h"
#include "MyTypes.h"
#include "NumberText.h"
#include "TInterval.h"
#include "TPandect.h"

struct SearchData;
struct SubsetPatterns;

// One subset's patterns, handed over with the subset's attribute numbers.
using TakeSubset = std::function<void(const arrint& map, const SubsetPatterns& found)>;
// Where a build gets the patterns of its subsets: it must hand those of every subset of
// `degree` of the `attributes` attributes to take, in the subset order (SubsetRuns.h), one call
// at a time.
// It runs on the threads of the build's control.
using PatternSource = std::function<void(const SearchData& data, std::int32_t attributes,
                                         std::int32_t degree, const TakeSubset& take)>;

class TLAD {
 public:
  std::string attributes;                // attribute names joined by ","
  std::unique_ptr<TSSList> attList;      // one entry per name
  std::int32_t npos = 0;                 // observations of class 1
  std::int32_t nneg = 0;                 // observations of class 0
  LearningParameters parameters;         // what the build learns with, as the user gave it
  arrint sizes;                          // bins per attribute (requested, then actual)
  matreal data;                          // one row of raw values per observation
  matreal cutpoints;                     // per attribute, ascending
  matint datagrid;                       // the bins of data
  arrstring labels;                      // row names of the reports
  arrint classvector;                    // 1 positive, 0 negative, other values neither
  std::unique_ptr<TPandect> pospandect;  // description -> positive pattern
  std::unique_ptr<TPandect> negpandect;  // description -> negative pattern
  // How the model writes and reads numbers: the command's, taken when it started.
  NumberFormat format;

  // A model to learn with these parameters; a model read from NAME.MOD has the defaults, since
  // the file holds only what scoring needs.
  explicit TLAD(const LearningParameters& parameters = {});
  TLAD(const TLAD&) = delete;
  TLAD& operator=(const TLAD&) = delete;
  TLAD(TLAD&&) = default;
  TLAD& operator=(TLAD&&) = default;

  // Empties data and datagrid.
  void Free();

  // Discretization.
  std::int32_t findbin(double key, std::int32_t ctptidx) const;
  void discretize();
  void discretize_simple();

  // The patterns of one attribute subset, appended to the lists in the order the search
  // finds them, each with its map set and keyed by its text.
  void buildpatterns(const arrint& map, TPatternList& ListPos, TPatternList& ListNeg) const;

  // The whole build and the pattern descriptions (the pandect keys). The subsets are searched
  // on the control's threads; the result is the same for any number of them.
  void buildModel(const BuildControl& control = {});
  // The same with the patterns from `source` instead of the search of every subset here, so
  // that a build shared out over processes merges into the very same pandects.
  void buildModel(const BuildControl& control, const PatternSource& source);
  std::string desc(PatternView pat) const;

  // Classification.
  double getIndex(const arrreal& point, std::int32_t pointclass) const;

  // The model file NAME.MOD. The writer forms let a caller replace several files as a set.
  void save(const std::string& filename) const;
  void save(LineFileWriter& out) const;
  void Load(const std::string& filename);

  // The reports NAME.PAT, NAME.DES and NAME.GRD.
  void savepatternspace(const std::string& filename);
  void savepatterndesc(const std::string& filename) const;
  void savedatagrid(const std::string& filename) const;
  void savepatternspace(LineFileWriter& out);
  void savepatterndesc(LineFileWriter& out) const;
  void savedatagrid(LineFileWriter& out) const;
};

// The score from the counts of satisfied patterns: 0 + positive/P - negative/N, in that order,
// a side without patterns left out. getIndex and every explanation of a score count with it.
double scoreFromCounts(std::int32_t positive, std::int32_t positiveTotal, std::int32_t negative,
                       std::int32_t negativeTotal);
