// Build Model: learn from the table, write and report the four model files, count patterns.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "BuildControl.h"
#include "Intake.h"
#include "Model.h"
#include "ModelFiles.h"
#include "TableIntake.h"
#include "NumberText.h"

struct PatternCounts {
  std::int32_t positive = 0;
  std::int32_t negative = 0;
};

// Called right after each file is put in place, so that a front end can show it at once.
using FileWritten = std::function<void(ModelFileKind kind, const std::string& filename)>;

// How a build runs: the number format, taken once when the options are made (on the thread
// that starts the command), and the threads, progress and cancel flag of the search.
struct BuildOptions {
  NumberFormat format;
  BuildControl control;
  // What the user should know although the build goes on (a degree above the attribute
  // count, for one).
  std::function<void(const std::string&)> warning;
  // How the table is read (TableReading.h), and what names it in messages. plainTable: the
  // caller made the table in the plain form (a program's own table text): it is read as that
  // form only, and its failures keep that form's messages.
  ReadingOptions reading;
  bool plainTable = false;
  std::string source = "The data table";
  // What the reading decided and each class's model of a table of several classes: worth
  // knowing, not a warning.
  std::function<void(const std::string&)> note;
  // With class-aware cut points, once the model is built: how many attributes got a cut point
  // (the others have one bin and are left out of the search), of all.
  std::function<void(std::int32_t searched, std::int32_t all)> attributesSearched;
};

// The attributes that the model's cut points split (more than one bin), which the search
// takes; with equal-frequency cut points every attribute is searched.
std::int32_t searchedAttributeCount(const Model& model, const LearningParameters& parameters);

// Warns through options.warning of a degree above the table's attribute count.
void warnOfDegree(const LearningParameters& parameters, const TrainingTable& table,
                  const BuildOptions& options);

// Raises "The model name is empty" for a name without a file name part.
void requireModelName(const std::string& name);

// Intake, buildModel, then the four files, replaced as a set: all are written and flushed
// before any is put in place, and fileWritten reports each as it is put in place (NAME.PAT,
// NAME.DES, NAME.GRD, then NAME.MOD). A failure before the renames replaces nothing; a failure
// during them says which files were already replaced. A build whose files would not fit in the
// folder is refused before anything is written, and so is a cancelled one ("Build cancelled").
//
// A table read by its layout (TableIntake.h) leaves NAME.TBL beside the four files, so that
// the tables the model is applied to are read the same way; a table of more than two classes
// without a positive class gives one model per class (classModelName), each with its NAME.TBL,
// and the index NAME.CLS; the counts are then those of every model together. A plain table
// removes a NAME.TBL and NAME.CLS left by an earlier build of the name.
PatternCounts runBuildModel(const LearningParameters& parameters, const std::string& tableText,
                            const std::string& name, const FileWritten& fileWritten,
                            const BuildOptions& options = {});

// The two halves of runBuildModel, for a front end that builds the model its own way (over
// several processes, for one) and writes the very same files.
// The name check and intake, with the warning about a degree above the attribute count.
// Refuses a table of more than two classes without a positive class.
// `layout`, when given, receives the layout of a table read by one (NAME.TBL's content), and
// is left empty for a plain table.
TrainingTable prepareBuild(const LearningParameters& parameters, const std::string& tableText,
                           const std::string& name, const BuildOptions& options,
                           std::optional<TableLayout>* layout = nullptr);
// The advice about a model that cannot work, then the four files of the built model, replaced
// as a set as described above.
PatternCounts writeModelFiles(const Model& model, const TrainingTable& table,
                              const LearningParameters& parameters, const std::string& name,
                              const FileWritten& fileWritten, const BuildOptions& options);

// Writes NAME.TBL with the layout, or removes it when there is none; removes NAME.CLS.
void writeTableLayout(const std::string& name, const TableLayout* layout);

// The layout of class k's model of a table of several classes: that class is the positive one.
TableLayout classModelLayout(const TableLayout& layout, std::size_t k);
// Writes the index NAME.CLS of a model per class and removes a NAME.TBL left by an earlier
// build of the name, as the last step of a build of several classes.
void writeClassIndex(const std::string& name, const ClassIndex& index);
