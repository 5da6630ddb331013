#include "ExplanationPanel.h"

#include <cmath>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "LadError.h"
#include "NearMissOrder.h"
#include "PatternReport.h"
#include "PlainNumber.h"
#include "QtText.h"

namespace {

constexpr int kLongestOpenSection = 30;
// The data of the "Show more" line of the near misses.
constexpr int kShowMoreRole = Qt::UserRole + 1;

}  // namespace

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
  connect(sections_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kShowMoreRole).toBool()) showMoreNearMisses();
  });
  connect(sections_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kShowMoreRole).toBool()) showMoreNearMisses();
  });
}

QString ExplanationPanel::plain(double value) const {
  return plainDecimal(value, source_->rules().format());
}

void ExplanationPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ExplanationPanel::explain(std::size_t row) {
  if (!hasSource() || row >= source_->table().rows()) return;
  const ObservationTable& table = source_->table();
  title_ = fromUtf8(observationTitle(table, row));
  shown_.reset();
  nearMissOrder_.clear();
  nearMissesShown_ = kNearMissesShown;
  try {
    shown_ = explainObservation(source_->rules(), table.values(row));
    nearMissOrder_ = nearMissesBySmallestChange(source_->rules(), *shown_);
  } catch (const std::exception& e) {
    title_ += ": " + fromUtf8(messageWithFullStop(e.what()));
  }
  showExplanation();
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

void ExplanationPanel::showMoreNearMisses() {
  if (!shown_) return;
  nearMissesShown_ += std::max(kNearMissesShown, nearMissesShown_);  // doubles each time
  showExplanation();
}

void ExplanationPanel::showExplanation() {
  sections_->clear();
  QStringList lines;
  if (!shown_) {
    summaryLabel_->setText(title_);
    text_ = title_;
    return;
  }
  const Explanation& e = *shown_;
  const ModelRules& rules = source_->rules();
  const QStringList summary{title_ + ": score " + plain(e.score),
                            QString("  = %1/%2 positive patterns - %3/%4 negative patterns")
                                .arg(e.forPatterns.size())
                                .arg(e.positivePatterns)
                                .arg(e.againstPatterns.size())
                                .arg(e.negativePatterns)};
  lines << summary;
  // Names padded to the longest the model has, so that the rules line up.
  const int nameWidth =
      2 +
      static_cast<int>(
          QString::number(std::max(rules.positiveCount(), rules.negativeCount())).size()) +
      1;
  const auto name = [&](std::int32_t j) {
    return fromUtf8(rules.name(j)).leftJustified(nameWidth);
  };
  int longest = 0;
  const auto child = [&](QTreeWidgetItem* section, const QString& text) {
    new QTreeWidgetItem(section, {text});
    lines << "  " + text;
    longest = std::max(longest, static_cast<int>(text.size()) + 2);
  };
  const auto heading = [&](const QString& text) {
    lines << text;
    longest = std::max(longest, static_cast<int>(text.size()));
    return new QTreeWidgetItem(sections_, {text});
  };
  const auto list = [&](const std::vector<std::int32_t>& patterns, const char* caption,
                        double share) {
    QTreeWidgetItem* section = heading(QString("%1: %2 patterns, each %3%4")
                                           .arg(caption)
                                           .arg(patterns.size())
                                           .arg(share > 0 ? "+" : "")
                                           .arg(plain(share)));
    const std::size_t listed = std::min(patterns.size(), std::size_t{kPatternsShown});
    for (std::size_t i = 0; i < listed; ++i) {
      child(section, name(patterns[i]) + fromUtf8(rules.rule(patterns[i])));
    }
    if (listed < patterns.size()) {
      child(section,
            QString("... and %1 more (lad explain lists them all)").arg(patterns.size() - listed));
    }
  };
  list(e.forPatterns, "For", e.positiveShare);
  list(e.againstPatterns, "Against", e.negativeShare);

  QTreeWidgetItem* misses =
      heading(QString("Near misses: %1 patterns failed by one condition, the smallest change first")
                  .arg(e.nearMisses.size()));
  const std::size_t listed =
      std::min(nearMissOrder_.size(), static_cast<std::size_t>(nearMissesShown_));
  for (std::size_t i = 0; i < listed; ++i) {
    const NearMiss& m = e.nearMisses[nearMissOrder_[i]];
    const QString attribute =
        fromUtf8(rules.attributeName(static_cast<std::size_t>(m.condition.attribute)));
    QString change = m.raise ? "raise it by " + plain(m.change)
                             : "lower it below " + plain(m.bound) +
                                   (m.change == 0 ? " (it lies on it)"
                                                  : " (by more than " + plain(-m.change) + ")");
    child(misses, name(m.pattern) + fromUtf8(rules.conditionText(m.condition)) +
                      " fails: " + attribute + (std::isnan(m.value) ? " is missing" : " is " + plain(m.value)) + "; " + change +
                      " -> score " + plain(m.scoreAfter));
  }
  if (listed < nearMissOrder_.size()) {
    const auto more = static_cast<qsizetype>(nearMissOrder_.size() - listed);
    auto* item = new QTreeWidgetItem(
        misses, {QString("Show more (%1 of %2 listed)").arg(listed).arg(nearMissOrder_.size())});
    item->setData(0, kShowMoreRole, true);
    item->setToolTip(0, QString("%1 more near misses; click to list more").arg(more));
    QFont bold = item->font(0);
    bold.setUnderline(true);
    item->setFont(0, bold);
  }
  text_ = lines.join('\n');
  // One column as wide as the longest line, so that nothing is cut off and the panel scrolls
  // sideways; measured by characters, since the face is monospace.
  sections_->setColumnWidth(0, (longest + 4) * sections_->fontMetrics().horizontalAdvance('M'));
  for (int i = 0; i < sections_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = sections_->topLevelItem(i);
    // The near misses are the news: they stay open however many there are.
    const bool last = i + 1 == sections_->topLevelItemCount();
    item->setExpanded(last || item->childCount() <= kLongestOpenSection);
  }
  summaryLabel_->setText(summary.join('\n'));
}
