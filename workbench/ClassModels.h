// A model per class (NAME.CLS and its models): applying them together forecasts the class whose
// model scores highest; their evaluation is the K x K confusion matrix and its figures.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Model.h"
#include "NumberText.h"
#include "TableIntake.h"

// Whether NAME.CLS is there.
bool hasClassModels(const std::string& name);

struct ClassForecast {
  std::string name;
  std::string classField;      // as written; "" when the row has none
  std::vector<double> scores;  // per class, its model's score
  std::size_t forecast = 0;    // the class of highest score (the first of equal ones)
};

// The class a row is forecast: the one whose model scores highest, the first of equal ones.
std::size_t forecastClass(const std::vector<double>& scores);

struct ClassForecasts {
  ClassIndex index;
  std::vector<ClassForecast> rows;
  std::vector<std::string> notes;  // what the reading says, once
};

// NAME.CLS and every model it names, read from beside it; each model is checked to fit the
// index's attribute columns. `warning` hears what loadModel warns of.
struct LoadedClassModels {
  ClassIndex index;
  std::vector<std::shared_ptr<const Model>> models;  // in the index's order of classes
};
LoadedClassModels loadClassModels(const std::string& name, const NumberFormat& format,
                                  const std::function<void(const std::string&)>& warning = {});

// Reads NAME.CLS and every model it names (beside it), reads the table by its layout and scores
// every row with every model.
ClassForecasts applyClassModels(const std::string& name, const std::string& tableText,
                                const NumberFormat& format);

// "NAME,CLASS,SCORE,FORECAST,SCORE_1,...,SCORE_K": the row's name and class as written, the
// forecast class's score, the forecast class, then every class's score in the index's order.
std::string classForecastLine(const ClassForecasts& forecasts, const ClassForecast& row,
                              const NumberFormat& format);

struct ClassMetrics {
  std::vector<std::string> classes;
  std::vector<std::vector<std::int64_t>> confusion;  // [true class][forecast class]
  std::int64_t rows = 0;                             // rows of a known class
  std::int64_t unclassed = 0;  // rows without a class, or of a class the models do not know
  double accuracy = 0;
  double balancedAccuracy = 0;  // the mean of the classes' recalls
  double macroF1 = 0;
  std::vector<double> auc;  // per class, its model's scores one against the rest
};

// The mean of the classes' AUCs against the rest over those that have one (a class with rows
// and other rows to rank against); NaN when none has.
double meanClassAuc(const ClassMetrics& metrics);

ClassMetrics evaluateClassForecasts(const ClassForecasts& forecasts);
// The same figures for rows forecast among `classes` (the models' classes, in their order), such
// as the held-out rows of a cross-validation.
ClassMetrics evaluateClassForecasts(const std::vector<std::string>& classes,
                                    const std::vector<ClassForecast>& rows);
std::vector<std::string> classMetricsReport(const ClassMetrics& metrics,
                                            const NumberFormat& format);
