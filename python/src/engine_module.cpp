// ladwb._engine: the workbench library as a Python module. It converts arrays and options,
// releases the GIL around every long call and turns the library's failures into ValueError;
// the estimator around it is Python (ladwb/_classifier.py). Failures become ValueError, and
// OSError for a file that cannot be opened, read or written.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "ApplyModel.h"
#include "BuildModel.h"
#include "ClassModels.h"
#include "Explanation.h"
#include "InMemoryClassModels.h"
#include "InMemoryModel.h"
#include "LadError.h"
#include "ModelExport.h"
#include "Observations.h"
#include "PatternTable.h"

namespace py = pybind11;

namespace {

// Python numbers are read and written with "." whatever the locale, as Python itself does.
const NumberFormat kFormat{};

// A C++ text as a Python str; bytes that are not UTF-8 (a name from an old model file) read
// as U+FFFD.
py::str text(const std::string& s) {
  PyObject* decoded = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "replace");
  if (decoded == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

// A model and, when it was fitted in this process, the table it learned from: the table gives
// the patterns' statistics, and with the parameters what writing its four files needs.
struct Fitted {
  std::shared_ptr<const Model> model;
  std::string trainingTable;  // empty for a model read from a file
  bool built = false;         // built here, so `table` and `parameters` hold what it learned from
  TrainingTable table;
  LearningParameters parameters;

  ModelRules rules() const { return ModelRules(model, kFormat); }
};

// One model per class, that class against the rest, in the order of the layout's classes.
struct ClassSet {
  TableLayout layout;
  std::vector<std::shared_ptr<Fitted>> models;
  bool built = false;  // built here, so every model holds what writing its files needs
};

// Runs `work` on a thread of its own while this thread, without the GIL, watches it: every
// 50 ms it takes the GIL to run Python's signal handlers (Ctrl+C raises KeyboardInterrupt in
// the main thread) and to report progress. A Python exception there sets the cancel flag; the
// work stops at its next check, and that exception is raised once the thread has ended.
// Warnings the work gave are passed to `warn` in the order given, failure or not. The work is
// given the build options that carry all this: the number format, the control and the warnings.
void runWatched(const std::function<void(BuildOptions&)>& work, int threads,
                const py::object& progress, const py::object& warn) {
  std::atomic<bool> cancel{false};
  std::atomic<std::int64_t> done{0};
  std::atomic<std::int64_t> total{0};
  std::mutex mutex;
  std::condition_variable finishedSignal;
  bool finished = false;
  std::vector<std::string> warnings;
  std::exception_ptr failure;
  std::optional<py::error_already_set> interruption;
  std::int64_t reported = -1;  // the count last passed to progress

  BuildControl control;
  control.cancel = &cancel;
  control.threads = threads;
  control.progress = [&](std::int64_t d, std::int64_t t) {
    total.store(t);
    done.store(d);
  };
  auto warning = [&](const std::string& message) {
    const std::lock_guard<std::mutex> lock(mutex);
    warnings.push_back(message);
  };

  {
    py::gil_scoped_release released;
    std::thread worker([&] {
      try {
        BuildOptions options;
        options.format = kFormat;
        options.control = control;
        options.warning = warning;
        work(options);
      } catch (...) {
        failure = std::current_exception();
      }
      const std::lock_guard<std::mutex> lock(mutex);
      finished = true;
      finishedSignal.notify_all();
    });
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex);
        if (finishedSignal.wait_for(lock, std::chrono::milliseconds(50),
                                    [&] { return finished; })) {
          break;
        }
      }
      if (interruption) continue;
      const py::gil_scoped_acquire acquired;
      try {
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();
        if (!progress.is_none() && total.load() > 0 && done.load() != reported) {
          reported = done.load();
          progress(reported, total.load());
        }
      } catch (py::error_already_set& e) {
        interruption = std::move(e);
        cancel.store(true);
      }
    }
    worker.join();
  }
  if (!warn.is_none()) {
    for (const std::string& message : warnings) warn(text(message));
  }
  if (interruption) throw *interruption;
  if (failure) std::rethrow_exception(failure);
  if (!progress.is_none() && total.load() > 0 && done.load() != reported) {
    progress(done.load(), total.load());
  }
}

LearningParameters learningParameters(std::int32_t gridSize, std::int32_t degree,
                                      double positiveHomogeneity, double positivePrevalence,
                                      double negativeHomogeneity, double negativePrevalence,
                                      std::int32_t coverTarget, bool classAware) {
  LearningParameters parameters;
  parameters.coverTarget = coverTarget;
  parameters.discretization =
      classAware ? Discretization::ClassAware : Discretization::EqualFrequency;
  parameters.gridSize = gridSize;
  parameters.degree = degree;
  parameters.positiveHomogeneity = positiveHomogeneity;
  parameters.positivePrevalence = positivePrevalence;
  parameters.negativeHomogeneity = negativeHomogeneity;
  parameters.negativePrevalence = negativePrevalence;
  return parameters;
}

std::shared_ptr<Fitted> fit(const std::string& tableText, std::int32_t gridSize,
                            std::int32_t degree, double positiveHomogeneity,
                            double positivePrevalence, double negativeHomogeneity,
                            double negativePrevalence, std::int32_t coverTarget, bool classAware,
                            int threads, const py::object& progress, const py::object& warn) {
  const LearningParameters parameters =
      learningParameters(gridSize, degree, positiveHomogeneity, positivePrevalence,
                         negativeHomogeneity, negativePrevalence, coverTarget, classAware);
  auto fitted = std::make_shared<Fitted>();
  fitted->trainingTable = tableText;
  fitted->built = true;
  runWatched(
      [&](BuildOptions& options) {
        BuiltModel built = buildModelInMemory(parameters, fitted->trainingTable, options);
        fitted->model = std::move(built.model);
        fitted->table = std::move(built.table);
        fitted->parameters = built.parameters;
      },
      threads, progress, warn);
  return fitted;
}

// The build of a table of three or more classes, as `lad build` makes it: one model per class.
std::shared_ptr<ClassSet> fitClasses(const std::string& tableText, std::int32_t gridSize,
                                     std::int32_t degree, double positiveHomogeneity,
                                     double positivePrevalence, double negativeHomogeneity,
                                     double negativePrevalence, std::int32_t coverTarget,
                                     bool classAware, int threads, const py::object& progress,
                                     const py::object& warn) {
  const LearningParameters parameters =
      learningParameters(gridSize, degree, positiveHomogeneity, positivePrevalence,
                         negativeHomogeneity, negativePrevalence, coverTarget, classAware);
  auto set = std::make_shared<ClassSet>();
  set->built = true;
  runWatched(
      [&](BuildOptions& options) {
        BuiltClassModels built = buildClassModelsInMemory(parameters, tableText, options);
        set->layout = std::move(built.layout);
        for (BuiltModel& one : built.models) {
          auto fitted = std::make_shared<Fitted>();
          fitted->trainingTable = twoClassTableText(one.table);
          fitted->built = true;
          fitted->model = std::move(one.model);
          fitted->table = std::move(one.table);
          fitted->parameters = one.parameters;
          set->models.push_back(std::move(fitted));
        }
      },
      threads, progress, warn);
  return set;
}

// A CSV field as the table reading takes it back: quoted when it holds a separator, a quote or
// a line break, or has spaces at an end.
std::string csvField(const std::string& field) {
  const bool plain = field.find_first_of(",\"\r\n") == std::string::npos &&
                     (field.empty() || (field.front() != ' ' && field.back() != ' ' &&
                                        field.front() != '\t' && field.back() != '\t'));
  if (plain) return field;
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// The table text of several classes: the header "<rowsColumn>,<names>,Class", then per row its
// number from 1, its values written to read back exactly, and the text of its class.
std::string classTableText(
    const std::vector<std::string>& names,
    const py::array_t<double, py::array::c_style | py::array::forcecast>& values,
    const std::vector<std::string>& classTexts,
    const py::array_t<int, py::array::c_style | py::array::forcecast>& classes,
    const std::string& rowsColumn) {
  if (values.ndim() != 2 || static_cast<std::size_t>(values.shape(1)) != names.size() ||
      classes.ndim() != 1 || classes.shape(0) != values.shape(0)) {
    throw py::value_error(
        "class_table_text takes a 2-D array of one column per name and one class per row");
  }
  const auto rows = static_cast<std::size_t>(values.shape(0));
  const std::size_t columns = names.size();
  const double* v = values.data();
  const int* c = classes.data();
  for (std::size_t r = 0; r < rows; ++r) {
    if (c[r] < 0 || static_cast<std::size_t>(c[r]) >= classTexts.size()) {
      throw py::value_error("class_table_text: a class index outside the class texts");
    }
  }
  const py::gil_scoped_release released;
  std::string text = csvField(rowsColumn);
  for (const std::string& name : names) text += "," + csvField(name);
  text += ",Class\n";
  for (std::size_t r = 0; r < rows; ++r) {
    text += integerText(static_cast<std::int64_t>(r + 1));
    for (std::size_t k = 0; k < columns; ++k) {
      text += ",";
      text += exactNumberText(v[r * columns + k], kFormat);
    }
    text += "," + csvField(classTexts[static_cast<std::size_t>(c[r])]) + "\n";
  }
  return text;
}

// Runs `write(options, written)` under the engine's watch (threads, Ctrl+C, warnings), with
// the build options of a save, and lists the files it wrote.
template <class Write>
py::list filesWritten(int threads, const py::object& warn, Write write) {
  std::vector<std::string> written;
  runWatched([&](BuildOptions& options) { write(options, written); }, threads, py::none(), warn);
  py::list files;
  for (const std::string& f : written) files.append(text(f));
  return files;
}

py::list saveClasses(const ClassSet& set, const std::string& name, int threads,
                     const py::object& warn) {
  if (!set.built) {
    throw py::value_error(
        "These models were read from model files or a pickle and hold only what scoring needs, "
        "not the discretized tables that NAME.PAT and NAME.GRD are made of: fit it to write "
        "the model files");
  }
  return filesWritten(threads, warn, [&](BuildOptions& options, std::vector<std::string>& written) {
    BuiltClassModels built;
    built.layout = set.layout;
    for (const auto& m : set.models) built.models.push_back({m->table, m->parameters, m->model});
    writeClassModels(
        built, name,
        [&](ModelFileKind kind, const std::string& filename) {
          written.push_back(filename);
          // Each model's NAME.TBL follows its NAME.MOD.
          if (kind == ModelFileKind::Model) {
            written.push_back(layoutFileName(filename.substr(0, filename.size() - 4)));
          }
        },
        options);
    written.push_back(classIndexFileName(name));
  });
}

std::shared_ptr<ClassSet> loadClasses(const std::string& name, const py::object& warn) {
  std::vector<std::string> warnings;
  auto set = std::make_shared<ClassSet>();
  {
    const py::gil_scoped_release released;
    LoadedClassModels loaded =
        loadClassModels(name, kFormat, [&](const std::string& w) { warnings.push_back(w); });
    set->layout = std::move(loaded.index.layout);
    for (auto& model : loaded.models) {
      auto fitted = std::make_shared<Fitted>();
      fitted->model = std::move(model);
      set->models.push_back(std::move(fitted));
    }
  }
  if (!warn.is_none()) {
    for (const std::string& w : warnings) warn(text(w));
  }
  return set;
}

std::string tableText(const std::vector<std::string>& names,
                      const py::array_t<double, py::array::c_style | py::array::forcecast>& values,
                      const py::array_t<int, py::array::c_style | py::array::forcecast>& classes) {
  if (values.ndim() != 2 || static_cast<std::size_t>(values.shape(1)) != names.size() ||
      classes.ndim() != 1 || classes.shape(0) != values.shape(0)) {
    throw py::value_error(
        "table_text takes a 2-D array of one column per name and one class per row");
  }
  const py::gil_scoped_release released;
  return tableTextOfValues(names, values.data(), static_cast<std::size_t>(values.shape(0)),
                           classes.data(), kFormat);
}

py::array_t<double> decisionFunction(
    const Fitted& m, const py::array_t<double, py::array::c_style | py::array::forcecast>& values,
    int threads) {
  if (values.ndim() != 2) throw py::value_error("decision_function takes a 2-D array");
  const auto rows = static_cast<std::size_t>(values.shape(0));
  const auto columns = static_cast<std::size_t>(values.shape(1));
  py::array_t<double> scores(static_cast<py::ssize_t>(rows));
  double* out = scores.mutable_data();
  {
    const py::gil_scoped_release released;
    scoreRows(*m.model, values.data(), rows, columns, out, threads);
  }
  return scores;
}

// One row per pattern: name, class (1 or 0), rule, degree, rows of class 1 and of class 0
// covered, prevalence and homogeneity (NaN without a training table).
py::dict patterns(const Fitted& m) {
  std::optional<PatternTable> table;
  {
    const py::gil_scoped_release released;
    if (m.trainingTable.empty()) {
      table.emplace(m.rules());
    } else {
      table.emplace(m.rules(), ObservationTable::read(m.trainingTable, kFormat));
    }
  }
  const auto n = static_cast<py::ssize_t>(table->size());
  py::list names(n), rules(n);
  py::array_t<int> classes(n), degrees(n), positive(n), negative(n);
  py::array_t<double> prevalence(n), homogeneity(n);
  auto c = classes.mutable_unchecked<1>();
  auto d = degrees.mutable_unchecked<1>();
  auto p = positive.mutable_unchecked<1>();
  auto q = negative.mutable_unchecked<1>();
  auto v = prevalence.mutable_unchecked<1>();
  auto h = homogeneity.mutable_unchecked<1>();
  for (std::int32_t j = 0; j < table->size(); ++j) {
    names[j] = text(table->name(j));
    rules[j] = text(table->rule(j));
    c(j) = table->isPositive(j) ? 1 : 0;
    d(j) = table->degree(j);
    p(j) = table->covered(j).positive;
    q(j) = table->covered(j).negative;
    v(j) = table->prevalence(j).value_or(std::nan(""));
    h(j) = table->homogeneity(j).value_or(std::nan(""));
  }
  py::dict result;
  result["pattern"] = names;
  result["class"] = classes;
  result["rule"] = rules;
  result["degree"] = degrees;
  result["positive_rows"] = positive;
  result["negative_rows"] = negative;
  result["prevalence"] = prevalence;
  result["homogeneity"] = homogeneity;
  return result;
}

py::dict explain(const Fitted& m,
                 const py::array_t<double, py::array::c_style | py::array::forcecast>& values) {
  if (values.ndim() != 1) throw py::value_error("explain takes one row of values");
  const ModelRules rules = m.rules();
  Explanation e;
  {
    const py::gil_scoped_release released;
    e = explainObservation(
        rules, std::span<const double>(values.data(), static_cast<std::size_t>(values.shape(0))));
  }
  auto named = [&](const std::vector<std::int32_t>& patterns) {
    py::list list;
    for (const std::int32_t j : patterns)
      list.append(py::make_tuple(text(rules.name(j)), text(rules.rule(j))));
    return list;
  };
  py::list misses;
  for (const NearMiss& miss : e.nearMisses) {
    py::dict d;
    d["pattern"] = text(rules.name(miss.pattern));
    d["rule"] = text(rules.rule(miss.pattern));
    d["fails"] = text(rules.conditionText(miss.condition));
    d["attribute"] = text(rules.attributeName(static_cast<std::size_t>(miss.condition.attribute)));
    d["value"] = miss.value;
    d["bound"] = miss.bound;
    d["raise"] = miss.raise;
    d["change"] = miss.change;
    d["score_after"] = miss.scoreAfter;
    misses.append(d);
  }
  py::dict result;
  result["score"] = e.score;
  result["positive_patterns"] = e.positivePatterns;
  result["negative_patterns"] = e.negativePatterns;
  result["positive_share"] = e.positiveShare;
  result["negative_share"] = e.negativeShare;
  result["for"] = named(e.forPatterns);
  result["against"] = named(e.againstPatterns);
  result["near_misses"] = misses;
  return result;
}

py::list save(Fitted& m, const std::string& name, int threads, const py::object& warn) {
  if (!m.built) {
    throw py::value_error(
        "This model was read from a model file or a pickle and holds only what scoring needs, "
        "not the discretized table that NAME.PAT and NAME.GRD are made of: fit it to write "
        "the four model files");
  }
  return filesWritten(threads, warn, [&](BuildOptions& options, std::vector<std::string>& written) {
    requireModelName(name);
    writeModelFiles(
        *m.model, m.table, m.parameters, name,
        [&](ModelFileKind, const std::string& filename) { written.push_back(filename); }, options);
  });
}

std::shared_ptr<Fitted> load(const std::string& name, const py::object& warn) {
  std::vector<std::string> warnings;
  auto loaded = std::make_shared<Fitted>();
  {
    const py::gil_scoped_release released;
    loaded->model = loadModel(name, kFormat, [&](const std::string& w) { warnings.push_back(w); });
  }
  if (!warn.is_none()) {
    for (const std::string& w : warnings) warn(text(w));
  }
  return loaded;
}

std::shared_ptr<ClassSet> classSetFromTexts(const std::string& layoutText,
                                            const std::vector<std::shared_ptr<Fitted>>& models) {
  auto set = std::make_shared<ClassSet>();
  set->layout = TableLayout::fromText(layoutText, "the pickled layout");
  if (models.size() != set->layout.classes.size()) {
    throw py::value_error("the pickle holds " + std::to_string(models.size()) + " models for " +
                          std::to_string(set->layout.classes.size()) + " classes");
  }
  set->models = models;
  return set;
}

std::shared_ptr<Fitted> fromText(const py::bytes& modelBytes, const std::string& trainingTable) {
  const std::string bytes = modelBytes;
  auto loaded = std::make_shared<Fitted>();
  loaded->trainingTable = trainingTable;
  const py::gil_scoped_release released;
  loaded->model = modelFromText(bytes, kFormat);
  return loaded;
}

}  // namespace

PYBIND11_MODULE(_engine, module) {
  module.doc() = "The LAD workbench library: build, score, explain, save and export models.";
  py::register_exception_translator([](std::exception_ptr failure) {
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const EInOutError& e) {
      // A file that cannot be opened, read or written.
      PyErr_SetString(PyExc_OSError, messageWithFullStop(e.what()).c_str());
    } catch (const LadError& e) {
      PyErr_SetString(PyExc_ValueError, messageWithFullStop(e.what()).c_str());
    }
  });

  py::class_<Fitted, std::shared_ptr<Fitted>>(module, "Model")
      .def_property_readonly("attribute_names",
                             [](const Fitted& m) {
                               const ModelRules rules = m.rules();
                               py::list names;
                               for (std::size_t k = 0; k < rules.attributeCount(); ++k) {
                                 names.append(text(rules.attributeName(k)));
                               }
                               return names;
                             })
      .def_property_readonly("positive_patterns",
                             [](const Fitted& m) { return m.rules().positiveCount(); })
      .def_property_readonly("negative_patterns",
                             [](const Fitted& m) { return m.rules().negativeCount(); })
      .def_property_readonly("training_table", [](const Fitted& m) { return m.trainingTable; })
      .def("decision_function", &decisionFunction, py::arg("values"), py::arg("threads") = 0)
      .def("patterns", &patterns)
      .def("explain", &explain, py::arg("values"))
      .def(
          "export",
          [](const Fitted& m, const std::string& language, const std::string& modelName) {
            const ExportLanguage chosen = exportLanguage(language);
            const py::gil_scoped_release released;
            return exportedCode(m.rules(), chosen, modelName);
          },
          py::arg("language"), py::arg("model_name"))
      .def("model_text",
           [](const Fitted& m) {
             std::string bytes;
             {
               const py::gil_scoped_release released;
               bytes = modelText(*m.model);
             }
             return py::bytes(bytes);
           })
      .def("save", &save, py::arg("name"), py::arg("threads") = 0, py::arg("warn") = py::none());

  py::class_<ClassSet, std::shared_ptr<ClassSet>>(module, "ClassModels")
      .def_property_readonly("classes",
                             [](const ClassSet& set) {
                               py::list classes;
                               for (const std::string& c : set.layout.classes)
                                 classes.append(text(c));
                               return classes;
                             })
      .def_property_readonly("models", [](const ClassSet& set) { return set.models; })
      .def_property_readonly("layout_text", [](const ClassSet& set) { return set.layout.text(); })
      .def("save", &saveClasses, py::arg("name"), py::arg("threads") = 0,
           py::arg("warn") = py::none());

  module.def("class_table_text", &classTableText, py::arg("names"), py::arg("values"),
             py::arg("class_texts"), py::arg("classes"), py::arg("rows_column") = "Name");
  module.def("fit_classes", &fitClasses, py::arg("table_text"), py::arg("grid_size"),
             py::arg("degree"), py::arg("positive_homogeneity"), py::arg("positive_prevalence"),
             py::arg("negative_homogeneity"), py::arg("negative_prevalence"),
             py::arg("cover_target") = 0, py::arg("class_aware") = false, py::arg("threads") = 0,
             py::arg("progress") = py::none(), py::arg("warn") = py::none());
  module.def("has_class_models", &hasClassModels, py::arg("name"));
  module.def("load_classes", &loadClasses, py::arg("name"), py::arg("warn") = py::none());
  module.def("class_models_from_texts", &classSetFromTexts, py::arg("layout_text"),
             py::arg("models"));
  module.def("table_text", &tableText, py::arg("names"), py::arg("values"), py::arg("classes"));
  module.def("fit", &fit, py::arg("table_text"), py::arg("grid_size"), py::arg("degree"),
             py::arg("positive_homogeneity"), py::arg("positive_prevalence"),
             py::arg("negative_homogeneity"), py::arg("negative_prevalence"),
             py::arg("cover_target") = 0, py::arg("class_aware") = false, py::arg("threads") = 0,
             py::arg("progress") = py::none(), py::arg("warn") = py::none());
  module.def("load", &load, py::arg("name"), py::arg("warn") = py::none());
  module.def("from_model_text", &fromText, py::arg("text"), py::arg("training_table") = "");
}
