#include "ExplanationPanel.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "LadError.h"
#include "PatternReport.h"
#include "QtText.h"

ExplanationPanel::ExplanationPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("ExplanationPanel");
  setWindowTitle("Why this score?");
  summaryLabel_ = new QLabel(this);
  summaryLabel_->setObjectName("summaryLabel");
  summaryLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summaryLabel_->setMargin(4);
  sections_ = new QTreeWidget(this);
  sections_->setObjectName("sections");
  sections_->setHeaderHidden(true);
  sections_->setUniformRowHeights(true);
  sections_->setTextElideMode(Qt::ElideNone);
  sections_->header()->setStretchLastSection(false);
  sections_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  summaryLabel_->setFont(font);
  sections_->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(summaryLabel_);
  layout->addWidget(sections_, 1);
  resize(900, 460);
}

void ExplanationPanel::explain(std::size_t row) {
  if (!hasSource() || row >= source_->table().rows()) return;
  const ObservationTable& table = source_->table();
  std::vector<std::string> lines;
  try {
    const Explanation e = explainObservation(source_->rules(), table.values(row));
    lines = explanationText(source_->rules(), e, observationTitle(table, row));
  } catch (const std::exception& e) {
    lines = {messageWithFullStop(e.what())};
  }
  // The first lines say the score; each section is a line, then its patterns indented. A model
  // of millions of patterns can give hundreds of thousands of lines: each section shows its
  // first kShownPerSection, which keeps the panel quick.
  constexpr int kShownPerSection = 2000;
  QStringList summary;
  QStringList shown;
  sections_->clear();
  QTreeWidgetItem* section = nullptr;
  int children = 0;
  int hidden = 0;
  std::size_t longest = 0;
  const auto closeSection = [&] {
    if (section != nullptr && hidden > 0) {
      const QString more = QString("... and %1 more (lad explain lists them all)").arg(hidden);
      new QTreeWidgetItem(section, {more});
      shown << "  " + more;
    }
    hidden = 0;
    children = 0;
  };
  for (const std::string& text : lines) {
    const bool indented = text.rfind("  ", 0) == 0;
    if (indented && section != nullptr) {
      if (children++ >= kShownPerSection) {
        ++hidden;
        continue;
      }
      const QString line = fromUtf8(text);
      new QTreeWidgetItem(section, {line.trimmed()});
      shown << line;
      longest = std::max(longest, text.size());
    } else if (indented || (section == nullptr && summary.size() < 2)) {
      summary << fromUtf8(text);
      shown << summary.back();
    } else {
      closeSection();
      section = new QTreeWidgetItem(sections_, {fromUtf8(text)});
      shown << section->text(0);
      longest = std::max(longest, text.size());
    }
  }
  closeSection();
  text_ = shown.join('\n');
  // One column as wide as the longest line, so that nothing is cut off and the panel scrolls
  // sideways; measured by characters, since the face is monospace.
  sections_->setColumnWidth(
      0, static_cast<int>(longest + 4) * sections_->fontMetrics().horizontalAdvance('M'));
  constexpr int kLongestOpenSection = 30;
  for (int i = 0; i < sections_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = sections_->topLevelItem(i);
    // The near misses are the news: they stay open however many there are.
    const bool last = i + 1 == sections_->topLevelItemCount();
    item->setExpanded(last || item->childCount() <= kLongestOpenSection);
  }
  summaryLabel_->setText(summary.join('\n'));
  setWindowTitle("Why this score? " + fromUtf8(table.name(row)));
  if (!isVisible() && !placed_ && parentWidget() != nullptr) {
    // First shown over the right of the window, where the Forecast lines leave room.
    const QWidget* window = parentWidget()->window();
    move(window->mapToGlobal(QPoint(std::max(0, window->width() - width() - 16), 120)));
    placed_ = true;
  }
  show();
  raise();
}
