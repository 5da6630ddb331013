// The workbench window: the data box, the parameter panel and the five tab pages.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "CommandJob.h"
#include "EvaluationPage.h"
#include "ExplanationPanel.h"
#include "FileView.h"
#include "Intake.h"
#include "ModelFiles.h"
#include "PatternsPage.h"

// What a file-open dialog is asked to show.
struct FileDialogRequest {
  QString title;
  QString filter;
  QString initialFileName;
  QString defaultSuffix;
};

// A model file made ready for its tab off the window's thread: its text when small, else the
// index of its lines for the file view.
struct TabContent {
  QString path;
  bool large = false;
  QString text;
  FileView::Index index;
};
TabContent loadTabContent(const std::string& filename);

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // Replaceable so that tests never wait on a modal window: the file-open dialog returns
  // the chosen path or nothing on cancel; the error box shows a message.
  std::function<std::optional<QString>(const FileDialogRequest&)> chooseFile;
  std::function<void(const QString&)> showError;
  // Asked when the window is closed while a command runs: true cancels it and closes.
  std::function<bool()> askToCancel;

  // Whether a command is running (Build Model and Apply Model run off the window's thread).
  bool jobRunning() const { return job_ != nullptr; }
  // Asks the running command to stop.
  void cancelJob();

  // The four commands.
  void Button1Click();  // Open Data
  void Button2Click();  // Build Model
  void Button4Click();  // Load Model
  void Button5Click();  // Apply Model
  // The Evaluation tab's commands.
  void CrossValidateClick();
  void TuneClick();
  void UseTunedParameters();  // copies the selected tuning row into the parameter boxes

  QStatusBar* StatusBar1;      // what the last command has to say beyond its results
  QProgressBar* ProgressBar1;  // subsets searched of all, while a build runs
  QLabel* TimeLabel;           // time taken and left, while a command runs
  QPushButton* CancelButton;
  QPlainTextEdit* RichEdit1;  // the data table
  QWidget* Panel1;
  QLabel* Label1;
  QSpinBox* SpinEdit1;  // Grid Size
  QLabel* Label2;
  QSpinBox* SpinEdit2;  // Degree
  QLabel* Label3;
  QLineEdit* Edit1;  // Positive Homogeneity
  QLabel* Label4;
  QLineEdit* Edit2;  // Positive Prevalence
  QLabel* Label5;
  QLineEdit* Edit3;  // Negative Homogeneity
  QLabel* Label6;
  QLineEdit* Edit4;  // Negative Prevalence
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button4;
  QPushButton* Button5;
  QLabel* Label7;
  QSpinBox* SpinEdit3;  // Positive Patterns Found
  QLabel* Label8;
  QSpinBox* SpinEdit4;  // Negative Patterns Found
  QLabel* Label9;
  QLineEdit* Edit5;      // Name
  QSplitter* Splitters;  // holds Splitter1 (fixed) and Splitter2 (sizes the panel)
  QTabWidget* PageControl1;
  QPlainTextEdit* RichEdit2;  // Model
  QPlainTextEdit* RichEdit3;  // Pattern Space
  QPlainTextEdit* RichEdit4;  // Pattern Description
  QPlainTextEdit* RichEdit5;  // Discretized
  QPlainTextEdit* RichEdit6;  // Forecast
  EvaluationPage* Evaluation;
  PatternsPage* PatternsTab;
  // Why this score?: opens when a Forecast line is selected or double-clicked.
  ExplanationPanel* WhyPanel;
  // A model file larger than kLargestTextBoxFile shows in its tab's FileView instead of its
  // text box, which holds nothing then.
  FileView* FileView2;
  FileView* FileView3;
  FileView* FileView4;
  FileView* FileView5;
  static constexpr qint64 kLargestTextBoxFile = qint64{4} << 20;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* tabBox(ModelFileKind kind) const;
  FileView* tabView(ModelFileKind kind) const;
  QWidget* parameterBox(ParameterField field) const;
  // The six parameter boxes as typed.
  LearningParameters panelParameters() const;
  // Says what is wrong with a parameter and puts the focus in its box; false then.
  bool parametersReadable(const LearningParameters& parameters, const NumberFormat& format);
  // The model name to use: the name box, or the full path of the model last built or
  // loaded under that name, so that a dialog that changes the folder does not lose it.
  std::string modelName() const;
  void rememberModel(const std::string& name);
  QList<QPushButton*> commandButtons() const;
  // Shows a model file in its tab: in the text box when small, else in the file view.
  void showFile(ModelFileKind kind, const std::string& filename);
  void showContent(ModelFileKind kind, const TabContent& content);
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
  };
  void wantPatterns(const std::string& name, const std::string& table, const NumberFormat& format,
                    bool forExplanations);
  // Starts reading the wanted patterns when the Patterns tab shows or a line waits to be
  // explained, and no other command runs.
  void readWantedPatterns();
  // Why this score? for the Forecast line that holds the cursor.
  void explainForecastLine();
  // Runs a command; a failure goes to the error box and the window stays usable.
  void runCommand(const std::function<void()>& command);
  // Runs a command as a job: the command buttons wait, progress and Cancel show, and when it
  // ends a failure goes to the error box ("... cancelled" only to the status bar) or, on
  // success, `done` runs.
  void startJob(CommandJob::Work work, std::function<void()> done,
                const QString& progressFormat = "%v of %m subsets");
  void jobFinished(const QString& failure);
  void showJobProgress(qint64 done, qint64 total);

  CommandJob* job_ = nullptr;
  std::optional<PatternsWanted> patternsWanted_;
  std::string patternsModel_;                 // the model of the Patterns tab, shown or wanted
  std::optional<std::size_t> lineToExplain_;  // waits for the patterns
  QString modelShownName_;  // the name box's text when the model was last built or loaded
  std::string modelFullName_;
  std::function<void()> jobDone_;
  QElapsedTimer jobClock_;
  QTimer* clockTimer_ = nullptr;
  QPointer<QWidget> focusBeforeJob_;
  void makePanel();
  void makePages();
};

// The decimal separator of the user's regional settings, for the number text form.
void useSystemDecimalSeparator();
