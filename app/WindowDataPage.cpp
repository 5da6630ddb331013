// The window's Data tab: the data box's table summarized in the background when the tab is
// shown after the table has changed.
#include <QPlainTextEdit>
#include <QTabWidget>

#include "DataPage.h"
#include "JobStatusBar.h"
#include "LadError.h"
#include "QtText.h"
#include "TableReading.h"
#include "TextTable.h"
#include "WorkbenchWindow.h"

namespace {

struct DataOutcome {
  std::shared_ptr<const TableLines> table;
  TableSummary summary;
};

}  // namespace

void WorkbenchWindow::wantDataSummary() {
  dataSummaryWanted_ = true;
  readWantedDataSummary();
}

void WorkbenchWindow::readWantedDataSummary() {
  if (!dataSummaryWanted_ || job_ != nullptr || tabs_->currentWidget() != dataPage_) return;
  dataSummaryWanted_ = false;
  const std::string text = toUtf8(dataBox_->toPlainText());
  const NumberFormat format = numberFormat();
  const QString description = tableDescription();
  const QString message = statusBar_->currentMessage();  // the last command's, kept
  const TableReadingTaken taken = takeReading(text);
  startJob<DataOutcome>(
      [text, format, taken](CommandJob&) {
        DataOutcome outcome;
        // A table read as the import dialog said is shown with its fields as the file reading
        // cuts them and summarized as Build Model reads it; one that reading refuses is shown
        // plainly, and Build Model says what is wrong with it.
        if (taken.reading.any()) {
          try {
            TextTableOptions cut;
            cut.separator = taken.reading.separator;
            auto table = std::make_shared<const TableLines>(readTextTable(text, taken.source, cut));
            outcome.summary =
                summarizeTable(readTrainingTable(text, taken.source, taken.reading, format));
            outcome.table = std::move(table);
            return outcome;
          } catch (const LadError&) {
          }
        }
        auto table = std::make_shared<const TableLines>(text);
        outcome.summary = summarizeTable(*table, format);
        outcome.table = std::move(table);
        return outcome;
      },
      [this, description, format, message](DataOutcome& outcome) {
        statusBar_->showMessage(message);
        QString shown = description;
        shown[0] = shown[0].toUpper();
        dataPage_->showTable(std::move(outcome.table), std::move(outcome.summary), shown, format);
      },
      "Reading the table", true);
}
