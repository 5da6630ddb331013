#include "WindowLook.h"

#include <QFontDatabase>
#include <QPlainTextEdit>

#include "QtText.h"

namespace {

// A font at 8 points, or the platform's closest one when it lacks the family.
QFont eightPoint(const char* family, QFontDatabase::SystemFont closest) {
  QFont font(family);
  font.setFamilies({family, QFontDatabase::systemFont(closest).family()});
  font.setPointSize(8);
  return font;
}

}  // namespace

QFont monospacedFont() {
  return eightPoint("Courier New", QFontDatabase::FixedFont);
}

QFont tabFont() {
  QFont font("DejaVu Sans Mono");
  font.setFamilies({"DejaVu Sans Mono", "Liberation Mono",
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::Monospace);
  font.setPointSize(10);
  return font;
}

QFont proportionalFont() {
  return eightPoint("Tahoma", QFontDatabase::GeneralFont);
}

QPlainTextEdit* plainTextBox(QWidget* parent, const QColor& background) {
  auto* box = new QPlainTextEdit(parent);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setFont(monospacedFont());
  box->setTabChangesFocus(true);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Text, Qt::black);
  box->setPalette(palette);
  return box;
}

QString displayText(const std::string& text) {
  QString shown = fromUtf8(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}
