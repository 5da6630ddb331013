#include "ExplanationPanel.h"

#include <QFontDatabase>
#include <QVBoxLayout>
#include <algorithm>

#include "LadError.h"
#include "PatternReport.h"

ExplanationPanel::ExplanationPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("ExplanationPanel");
  setWindowTitle("Why this score?");
  SummaryLabel = new QLabel(this);
  SummaryLabel->setObjectName("SummaryLabel");
  SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  SummaryLabel->setMargin(4);
  Sections = new QTreeWidget(this);
  Sections->setObjectName("Sections");
  Sections->setHeaderHidden(true);
  Sections->setUniformRowHeights(true);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  SummaryLabel->setFont(font);
  Sections->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(SummaryLabel);
  layout->addWidget(Sections, 1);
  resize(760, 460);
}

void ExplanationPanel::explain(std::size_t row) {
  if (!hasSource() || row >= source_->table().rows()) return;
  const ObservationTable& table = source_->table();
  QStringList lines;
  try {
    const Explanation e = explainObservation(source_->rules(), table.values(row));
    for (const std::string& line :
         explanationText(source_->rules(), e, observationTitle(table, row))) {
      lines << QString::fromStdString(line);
    }
  } catch (const std::exception& e) {
    lines << QString::fromStdString(messageWithFullStop(e.what()));
  }
  text_ = lines.join('\n');
  // The first lines say the score; each section is a line, then its patterns indented.
  QStringList summary;
  Sections->clear();
  QTreeWidgetItem* section = nullptr;
  for (const QString& line : lines) {
    if (line.startsWith("  ") && section != nullptr) {
      new QTreeWidgetItem(section, {line.trimmed()});
    } else if (line.startsWith("  ") || (section == nullptr && summary.size() < 2)) {
      summary << line;
    } else {
      section = new QTreeWidgetItem(Sections, {line});
    }
  }
  constexpr int kLongestOpenSection = 30;
  for (int i = 0; i < Sections->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = Sections->topLevelItem(i);
    // The near misses are the news: they stay open however many there are.
    const bool last = i + 1 == Sections->topLevelItemCount();
    item->setExpanded(last || item->childCount() <= kLongestOpenSection);
  }
  SummaryLabel->setText(summary.join('\n'));
  setWindowTitle("Why this score? " + QString::fromStdString(table.name(row)));
  if (!isVisible() && !placed_ && parentWidget() != nullptr) {
    // First shown over the right of the window, where the Forecast lines leave room.
    const QWidget* window = parentWidget()->window();
    move(window->mapToGlobal(QPoint(std::max(0, window->width() - width() - 16), 120)));
    placed_ = true;
  }
  show();
  raise();
}
