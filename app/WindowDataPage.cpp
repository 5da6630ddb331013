// The window's Data tab: the data box's table summarized in the background when the tab is
// shown after the table has changed.
#include <QPlainTextEdit>
#include <QTabWidget>

#include "DataPage.h"
#include "JobStatusBar.h"
#include "QtText.h"
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
  startJob<DataOutcome>(
      [text, format](CommandJob&) {
        DataOutcome outcome;
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
