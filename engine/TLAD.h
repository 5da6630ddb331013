// The LAD model: parameters, training table, discretization and the two pandects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "MyLists.h"
#include "MyTypes.h"
#include "TDataStructure.h"
#include "TIndex.h"
#include "TInterval.h"

class TLAD {
 public:
  std::string attributes;            // attribute names joined by ","
  std::unique_ptr<TSSList> attList;  // one entry per name; values are desc's scratch
  std::int32_t npos = 0;             // observations of class 1
  std::int32_t nneg = 0;             // observations of class 0
  std::int32_t degree = 0;           // attributes per searched subset
  arrint sizes;                      // bins per attribute (requested, then actual)
  double poshom = 0;
  double posprev = 0;
  double neghom = 0;
  double negprev = 0;
  matreal data;                                   // one row of raw values per observation
  matreal cutpoints;                              // per attribute, ascending
  matint datagrid;                                // the bins of data
  arrstring labels;                               // row names of the reports
  arrint classvector;                             // 1 positive, 0 negative, other values neither
  arrreal outcomevector;                          // unused
  std::unique_ptr<OwningPatternList> pospandect;  // description -> positive pattern
  std::unique_ptr<OwningPatternList> negpandect;  // description -> negative pattern
  std::unique_ptr<TDataStructure> DSP;            // positive counts of the subset being searched
  std::unique_ptr<TDataStructure> DSN;            // negative counts, likewise

  TLAD(std::int32_t indegree, double inPosHom, double inPosPrev, double inNegHom, double inNegPrev);
  TLAD(const TLAD&) = delete;
  TLAD& operator=(const TLAD&) = delete;
  TLAD(TLAD&&) = default;
  TLAD& operator=(TLAD&&) = default;

  // Empties data, datagrid and outcomevector.
  void Free();

  // Discretization.
  std::int32_t findbin(double key, std::int32_t ctptidx) const;
  void discretize();
  void discretize_simple();

  // Pattern generation over one attribute subset.
  void buildpatterns(const arrint& map, TPatternList& ListPos, TPatternList& ListNeg);
  void collect_patterns(const TIndex& basis, const TDataStructure& DSP, const TDataStructure& DSN,
                        TPatternList& ListPos, TPatternList& ListNeg);
  static void simplify(const TInterval& pat, TPatternList& List);

  // The whole build and the pattern descriptions (the pandect keys).
  void buildModel();
  std::string desc(const TInterval& pat);

  // Classification.
  bool triggered(const arrreal& point, const TInterval& pat, std::int32_t pointclass) const;
  double getIndex(const arrreal& point, std::int32_t pointclass) const;

  // The model file NAME.MOD.
  void save(const std::string& filename) const;
  void Load(const std::string& filename);

  // The reports NAME.PAT, NAME.DES and NAME.GRD.
  void savepatternspace(const std::string& filename);
  void savepatterndesc(const std::string& filename) const;
  void savedatagrid(const std::string& filename) const;

 private:
  // collect_patterns with the grid's strides and a scratch index c of the grid's shape, so
  // that the anchor walk of buildpatterns allocates nothing per anchor.
  void collectFrom(const TIndex& basis, const arrint& strides, TIndex& c, const TDataStructure& DSP,
                   const TDataStructure& DSN, TPatternList& ListPos, TPatternList& ListNeg);
  // Judges one candidate box from basis to c with its counts p and n.
  void judgeBox(const TIndex& basis, const TIndex& c, double p, double n, TPatternList& ListPos,
                TPatternList& ListNeg) const;
};
