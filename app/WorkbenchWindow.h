// The workbench window: the data box, the parameter panel, the tabs and the status bar. It
// reads its boxes into the workbench's values, runs each command as a job off its thread and
// shows what the job hands back.
#pragma once

#include <QPointer>
#include <QWidget>
#include <any>
#include <functional>
#include <optional>
#include <string>

#include "CommandJob.h"
#include "CrossValidation.h"
#include "Dialogs.h"
#include "Intake.h"
#include "ModelExport.h"
#include "ModelFiles.h"
#include "NumberText.h"
#include "RunHistory.h"
#include "TableReading.h"
#include "UndecidedRule.h"

class EvaluationPage;
class ImportDialog;
class ExplanationPanel;
class JobStatusBar;
class ModelFilePages;
class DataPage;
class ParameterPanel;
class PatternsPage;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class WindowMenus;

class WorkbenchWindow : public QWidget {
  Q_OBJECT

 public:
  explicit WorkbenchWindow(QWidget* parent = nullptr);
  ~WorkbenchWindow() override;

  // The dialogs the commands open, replaceable so that tests never wait on a modal window:
  // the file-open dialog returns the chosen path or nothing on cancel; the error box shows a
  // message; the question asked when the window is closed while a command runs returns true
  // to cancel it and close.
  using FileChooser = std::function<std::optional<QString>(const FileDialogRequest&)>;
  using ErrorReporter = std::function<void(const QString&)>;
  using CancelQuestion = std::function<bool()>;
  // A question answered Yes (true) or No: whether to discard edits of the data box, whether
  // to start a command that will take long.
  using Question = std::function<bool(const QString&)>;
  void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  void setQuestion(Question question) { ask_ = std::move(question); }
  void setErrorReporter(ErrorReporter reporter) { showError_ = std::move(reporter); }
  void setCancelQuestion(CancelQuestion question) { askToCancel_ = std::move(question); }
  // Runs the import dialog Open Data shows for a table not in the plain form: true for OK.
  using ImportRunner = std::function<bool(ImportDialog&)>;
  void setImportRunner(ImportRunner runner) { runImport_ = std::move(runner); }
  // How the data box's table is read: empty (found out) unless the import dialog said more.
  const ReadingOptions& readingOptions() const { return reading_; }

  // The number format of the user's regional settings, read at start and again when they
  // change; a command takes it when it starts.
  NumberFormat numberFormat() const;

  // Whether a command is running.
  bool jobRunning() const { return job_ != nullptr; }
  // Asks the running command to stop.
  void cancelJob();

  // The four commands of the panel.
  void openData();
  // Open Data of a known file (Open Recent, a file dropped on the window): asks first when the
  // data box has edits that are not saved.
  void openDataFile(const QString& path);
  // The File menu's saves: the data box as a table file, the Forecast lines as CSV, and the
  // model of the name box as code that scores without the workbench.
  void saveTable();
  void saveForecast();
  void exportModel(ExportLanguage language);
  void buildModel();
  void loadModel();
  void applyModel();
  // The Evaluation tab's commands.
  void crossValidate();
  void tune();
  // Copies the selected tuning row into the parameter boxes.
  void useTunedParameters();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void makePages();
  // The parameters of the boxes, read and checked; or nothing, when the error box has said
  // what is wrong with one and its box has the focus.
  std::optional<LearningParameters> readBoxes(const ParameterTexts& texts,
                                              const NumberFormat& format);
  void reportFailure(const std::exception& failure);
  // The table of the data box as tabs and headings name it: "the data box (iris.csv)".
  QString tableDescription() const;
  // The title: the data file's name, marked * while the data box has edits not saved.
  void updateTitle();
  // Whether the data box may be replaced: it has no unsaved edits, or the user lets them go.
  bool mayDiscardEdits();
  // Reads a chosen data file into the data box.
  void readDataFile(const QString& path);
  // How a command reads the data box's table: the import dialog's reading options while the
  // text is not in the plain form (an edit into the plain form drops them), and the data
  // file's name for messages.
  struct TableReadingTaken {
    ReadingOptions reading;
    std::string source = "The data table";
  };
  TableReadingTaken takeReading(const std::string& table);
  // A file dialog's request, starting in the folder last chosen.
  FileDialogRequest fileRequest(const QString& title, const QString& filter,
                                const QString& initialFileName, const QString& suffix,
                                bool save) const;
  void restoreSettings();
  void saveSettings() const;
  // A command asked for while the patterns are read in the background waits for them: true
  // when the command was put off (or refused because another command runs).
  bool waitsForJob(const QString& command, std::function<void()> run);
  // The model name to use: the name box, or the full path of the model last built or
  // loaded under that name, so that a dialog that changes the folder does not lose it.
  std::string modelName() const;
  void rememberModel(const std::string& name);
  QList<QPushButton*> commandButtons() const;
  // From a job: the file is read (or indexed) on the job's thread and shown on the window's.
  void postFile(CommandJob& job, ModelFileKind kind, const std::string& filename);

  // The model whose patterns the Patterns tab (and, after Apply Model, Why this score?) should
  // show, with the table to count them on. They are read only when first wanted, by a job of
  // their own, so that a build ends as soon as its files are written and a model of millions
  // of patterns is held in memory only when it is looked at.
  struct PatternsWanted {
    std::string name;
    std::string table;
    NumberFormat format;
    bool forExplanations = false;
    bool newModel = false;  // the filters typed for the model before are reset
  };
  void wantPatterns(PatternsWanted wanted);
  // Lets the patterns shown go (they are read again when next wanted), so that a large model
  // is not held twice while its successor is read, or while Apply reads it again.
  void releasePatterns();
  // Starts reading the wanted patterns when the Patterns tab shows or a line waits to be
  // explained, and no other command runs.
  void readWantedPatterns();
  // Why this score? for the Forecast line that holds the cursor, or for a row of the table
  // Apply Model scored.
  void explainForecastLine();
  void explainRow(std::size_t row);

  // The run history, kept in the data's folder: shown at start and after Open Data, and a run
  // added at the end of each build, apply, cross-validation and tune.
  QString historyPath() const;
  void showRunHistory();
  void recordRun(RunRecord run);

  // A cross-validation or tuning run that would take more than a minute starts only once the
  // user has seen the estimate and said yes; `estimate` runs as a job of its own first.
  void startAfterEstimate(std::function<ValidationCost()> estimate, const QString& what,
                          std::function<void()> start);

  // The Data tab is summarized when it is shown after the data box has changed.
  void wantDataSummary();
  void readWantedDataSummary();

  // Runs `work` as a job: the command buttons wait, progress and Cancel show, and when it
  // ends a failure goes to the error box ("... cancelled" only to the status bar) or, on
  // success, `done` gets what the work returned.
  template <class Result>
  void startJob(std::function<Result(CommandJob&)> work, std::function<void(Result&)> done,
                const QString& progressFormat = "%v of %m subsets", bool background = false) {
    startWork([work = std::move(work)](CommandJob& job) -> std::any { return work(job); },
              [done = std::move(done)](std::any& result) {
                if (done) done(std::any_cast<Result&>(result));
              },
              progressFormat, background);
  }
  // A job in the background (reading patterns) leaves the commands offered: one asked for
  // waits for it and then starts.
  void startWork(CommandJob::Work work, std::function<void(std::any&)> done,
                 const QString& progressFormat, bool background);
  void jobFinished(const QString& failure);

  NumberFormat numberFormat_;
  FileChooser chooseFile_;
  ErrorReporter showError_;
  CancelQuestion askToCancel_;
  Question ask_;

  QPlainTextEdit* dataBox_;
  ParameterPanel* panel_;
  QTabWidget* tabs_;
  std::unique_ptr<ModelFilePages> filePages_;
  QPlainTextEdit* forecastBox_;
  EvaluationPage* evaluationPage_;
  PatternsPage* patternsPage_;
  DataPage* dataPage_;
  bool dataSummaryWanted_ = true;
  ExplanationPanel* explanationPanel_;  // Why this score?, beside the window
  JobStatusBar* statusBar_;
  WindowMenus* menus_;
  QString dataFile_;  // the data box's file, or "" for a table typed or the sample
  ImportRunner runImport_;
  // How the data box's table is read, as the import dialog said; empty for a table in the
  // plain form, the sample, and a data box edited into the plain form.
  ReadingOptions reading_;

  CommandJob* job_ = nullptr;
  bool jobInBackground_ = false;
  std::function<void()> queuedCommand_;  // waits for the job in the background
  std::function<void(std::any&)> jobDone_;
  QPointer<QWidget> focusBeforeJob_;
  std::optional<PatternsWanted> patternsWanted_;
  std::optional<PatternsWanted> patternsShown_;  // what the Patterns tab holds now
  std::string patternsModel_;                 // the model of the Patterns tab, shown or wanted
  std::optional<std::size_t> lineToExplain_;  // waits for the patterns
  QString modelShownName_;  // the name box's text when the model was last built or loaded
  std::string modelFullName_;
  // The classes of the table the model of trainingClassesModel_ was built from in this window.
  std::optional<ClassCounts> trainingClasses_;
  std::string trainingClassesModel_;
};
