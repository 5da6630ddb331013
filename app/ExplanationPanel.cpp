#include "ExplanationPanel.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "LadError.h"
#include "PatternReport.h"

ExplanationPanel::ExplanationPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("ExplanationPanel");
  setWindowTitle("Why this score?");
  ExplanationText = new QPlainTextEdit(this);
  ExplanationText->setObjectName("ExplanationText");
  ExplanationText->setReadOnly(true);
  ExplanationText->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  ExplanationText->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ExplanationText);
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
  ExplanationText->setPlainText(lines.join('\n'));
  setWindowTitle("Why this score? " + QString::fromStdString(table.name(row)));
  show();
  raise();
}
