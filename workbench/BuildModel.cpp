#include "BuildModel.h"

#include <sys/statvfs.h>
#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <array>
#include <filesystem>

#include "LadError.h"
#include "ModelAdvice.h"
#include "ModelBuilding.h"
#include "ModelFile.h"
#include "ModelReports.h"
#include "NumberText.h"
#include "SaveLock.h"
#include "SubsetSweep.h"
#include "SystemMemory.h"

namespace {

// About how many bytes the four files take: the pattern space exactly, the rest closely.
std::uint64_t estimatedBytes(const Model& model, const TrainingTable& table) {
  const PatternSet* sides[] = {&model.positive(), &model.negative()};
  std::uint64_t patterns = 0;
  std::uint64_t keyBytes = 0;
  std::uint64_t coordinates = 0;
  for (const PatternSet* side : sides) {
    for (std::int32_t i = 0; i < side->size(); ++i) {
      keyBytes += side->key(i).size();
      coordinates += side->pattern(i).size();
    }
    patterns += static_cast<std::uint64_t>(side->size());
  }
  const std::uint64_t rows = table.rows();
  const std::uint64_t columns = model.cutpoints().size();
  const std::uint64_t numbering = patterns * 10;  // "P123456" and the like
  const std::uint64_t pat = (rows + 1) * (2 * patterns + 16) + numbering;
  const std::uint64_t des = keyBytes + numbering + model.attributeLine().size();
  const std::uint64_t mod = coordinates * 12 + numbering + columns * 200;
  const std::uint64_t grd = rows * (columns * 3 + 16);
  return pat + des + mod + grd;
}

// Refuses before anything is written when the folder cannot hold the files.
void requireRoom(const std::string& filename, std::uint64_t bytes) {
  std::filesystem::path folder = std::filesystem::path(filename).parent_path();
  if (folder.empty()) folder = ".";
  struct statvfs space {};
  if (::statvfs(folder.c_str(), &space) != 0) return;  // a missing folder fails when writing
  const std::uint64_t free = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
  if (bytes > free) {
    throw LadError("The model's four files need about " + byteSize(bytes) + ", but the folder \"" +
                   fullPath(folder.string()) + "\" has " + byteSize(free) +
                   " free; nothing was replaced");
  }
}

}  // namespace

void requireModelName(const std::string& name) {
  if (name.empty() || std::filesystem::path(name).filename().empty()) {
    throw LadError("The model name is empty" +
                   std::string(name.empty() ? "" : " (\"" + name + "\" names only a folder)"));
  }
}

void warnOfDegree(const LearningParameters& parameters, const TrainingTable& table,
                  const BuildOptions& options) {
  const auto attributes = static_cast<std::int64_t>(table.columns());
  if (parameters.degree > attributes && options.warning) {
    options.warning("The degree " + integerText(parameters.degree) +
                    " exceeds the number of attributes (" + integerText(attributes) +
                    "): the search takes the one subset of all " + integerText(attributes));
  }
}

namespace {

BuildTables readBuildTables(const LearningParameters& parameters, const std::string& tableText,
                            const BuildOptions& options) {
  if (options.plainTable) {
    BuildTables plain;
    plain.plain = intake(parameters, tableText, options.format);
    return plain;
  }
  BuildTables tables =
      intakeTables(parameters, tableText, options.source, options.reading, options.format);
  if (options.note) {
    for (const std::string& note : tables.notes) options.note(note);
  }
  return tables;
}

void removeIfThere(const std::string& filename) {
  std::error_code ignored;
  std::filesystem::remove(filename, ignored);
}

}  // namespace

TrainingTable prepareBuild(const LearningParameters& parameters, const std::string& tableText,
                           const std::string& name, const BuildOptions& options,
                           std::optional<TableLayout>* layout) {
  requireModelName(name);
  if (options.plainTable) {
    TrainingTable table = intake(parameters, tableText, options.format);
    warnOfDegree(parameters, table, options);
    return table;
  }
  const BuildTables tables = readBuildTables(parameters, tableText, options);
  if (tables.multiClass()) {
    throw LadError(options.source + ": the class column " +
                   quotedForMessage(tables.read->layout.classColumn) + " has " +
                   integerText(static_cast<std::int64_t>(tables.read->layout.classes.size())) +
                   " classes; this build makes a model of one class against the rest: say "
                   "which with --positive");
  }
  TrainingTable table = tables.twoClass(options.format);
  warnOfDegree(parameters, table, options);
  if (layout != nullptr && tables.read) *layout = tables.read->layout;
  return table;
}

void writeTableLayout(const std::string& name, const TableLayout* layout) {
  removeIfThere(classIndexFileName(name));
  if (layout == nullptr) {
    removeIfThere(layoutFileName(name));
    return;
  }
  LineFileWriter writer(layoutFileName(name));
  writer.write(layout->text());
  writer.commit();
}

PatternCounts runBuildModel(const LearningParameters& parameters, const std::string& tableText,
                            const std::string& name, const FileWritten& fileWritten,
                            const BuildOptions& options) {
  requireModelName(name);
  const BuildTables tables = readBuildTables(parameters, tableText, options);
  auto buildOne = [&](const TrainingTable& table, const std::string& modelName,
                      const TableLayout* layout) {
    warnOfDegree(parameters, table, options);
    const Model model = buildModel(table, parameters, options.control);
    if (options.control.cancelled()) throw LadError("Build cancelled");
    if (parameters.discretization == Discretization::ClassAware && options.attributesSearched) {
      options.attributesSearched(searchedAttributeCount(model, parameters),
                                 static_cast<std::int32_t>(table.columns()));
    }
    const PatternCounts counts =
        writeModelFiles(model, table, parameters, modelName, fileWritten, options);
    writeTableLayout(modelName, layout);
    return counts;
  };
  if (!tables.multiClass()) {
    return buildOne(tables.twoClass(options.format), name,
                    tables.read ? &tables.read->layout : nullptr);
  }
  // One model per class, that class against the rest, then the index that names them.
  const ReadTable& read = *tables.read;
  ClassIndex index;
  index.layout = read.layout;
  PatternCounts all;
  for (std::size_t k = 0; k < read.layout.classes.size(); ++k) {
    const TableLayout layout = classModelLayout(read.layout, k);
    const std::string modelName = classModelName(name, read.layout, k);
    const PatternCounts counts = buildOne(read.againstRest(k, options.format), modelName, &layout);
    index.models.push_back(std::filesystem::path(modelName).filename().string());
    all.positive += counts.positive;
    all.negative += counts.negative;
    if (options.note) {
      options.note("Class " + layout.positive + ": model " + modelName + ", " +
                   integerText(counts.positive) + " positive and " +
                   integerText(counts.negative) + " negative patterns");
    }
  }
  writeClassIndex(name, index);
  return all;
}

TableLayout classModelLayout(const TableLayout& layout, std::size_t k) {
  TableLayout one = layout;
  one.positive = layout.classes[k];
  return one;
}

void writeClassIndex(const std::string& name, const ClassIndex& index) {
  removeIfThere(layoutFileName(name));
  LineFileWriter writer(classIndexFileName(name));
  writer.write(index.text());
  writer.commit();
}

std::int32_t searchedAttributeCount(const Model& model, const LearningParameters& parameters) {
  const arrint bins = model.grid().binCounts();
  if (parameters.discretization == Discretization::EqualFrequency) {
    return static_cast<std::int32_t>(bins.size());
  }
  return static_cast<std::int32_t>(
      std::count_if(bins.begin(), bins.end(), [](auto n) { return n > 1; }));
}

PatternCounts writeModelFiles(const Model& model, const TrainingTable& table,
                              const LearningParameters& parameters, const std::string& name,
                              const FileWritten& fileWritten, const BuildOptions& options) {
  const std::string advice = modelAdvice(model, table, parameters);
  if (!advice.empty() && options.warning) options.warning(advice);
  // One save of a name at a time: a second build of the same name waits for the first to
  // put its files in place, so neither removes the other's temporary files and the set ends
  // up whole from one build.
  const SaveLock lock(
      name + ".lock",
      [&] {
        if (options.warning) {
          options.warning("Another build is writing the model " + name +
                          "; waiting for it to finish");
        }
      },
      options.control.cancel);
  if (options.control.cancelled()) throw LadError("Build cancelled");
  requireRoom(modelFileName(name, ModelFileKind::Model), estimatedBytes(model, table));

  // All four files are written and flushed first; only then are they put in place, the
  // reports first and NAME.MOD last, so that a failure before that point replaces nothing and
  // Apply never meets a new model beside older reports unless the renames themselves fail.
  struct File {
    ModelFileKind kind;
    std::string filename;
    std::unique_ptr<LineFileWriter> writer;
  };
  std::array<File, 4> files;
  const ModelFileKind order[] = {ModelFileKind::PatternSpace, ModelFileKind::PatternDescription,
                                 ModelFileKind::Discretized, ModelFileKind::Model};
  for (std::size_t i = 0; i < files.size(); ++i) {
    files[i].kind = order[i];
    files[i].filename = modelFileName(name, order[i]);
    files[i].writer = std::make_unique<LineFileWriter>(files[i].filename, options.control.cancel);
  }
  // The files are written side by side, each by its own writer; the two that run over every
  // observation share a task, as the pattern space alone takes most of the time (its rows are
  // formatted on every thread there is). A cancel
  // (the window's, or a signal's on the command line) stops the writers and removes their
  // temporary files; once the renames have begun they are all done.
  // They run on the build's threads, and each file is flushed to disk as soon as it is
  // written, while the others are still being formatted.
  try {
    runWithThreads(options.control.threads, [&] {
      tbb::parallel_invoke(
          [&] {
            writePatternSpace(model, table, *files[0].writer);
            files[0].writer->finish();
            writeDiscretizedTable(model, table, *files[2].writer);
            files[2].writer->finish();
          },
          [&] {
            writeDescriptions(model, *files[1].writer);
            files[1].writer->finish();
          },
          [&] {
            writeModelFile(model, *files[3].writer);
            files[3].writer->finish();
          });
    });
  } catch (const std::exception&) {
    if (options.control.cancelled()) throw LadError("Build cancelled");
    throw;
  }
  if (options.control.cancelled()) throw LadError("Build cancelled");

  std::string replaced;
  for (File& file : files) {
    try {
      file.writer->publish();
    } catch (const LadError& e) {
      throw EInOutError(messageWithFullStop(e.what()) +
                        (replaced.empty() ? ""
                                          : " Already replaced: " + replaced +
                                                "; the others keep their earlier content."));
    }
    replaced += (replaced.empty() ? "" : ", ") + file.filename;
    if (fileWritten) fileWritten(file.kind, file.filename);
  }
  return {model.positive().size(), model.negative().size()};
}
