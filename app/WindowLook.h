// The window's fonts and plain text boxes, shared by its panel and its pages.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

class QPlainTextEdit;
class QWidget;

// Courier New at 8 points (the data box and the text boxes), or the closest fixed face.
QFont monospacedFont();
// The tabs' text at 10 points in a monospace face whose ">=" and "<" stay distinct: at 8 points
// ">=" reads as ">-".
QFont tabFont();
// Tahoma at 8 points (the window's captions), or the closest general face.
QFont proportionalFont();

// A text box that neither wraps nor takes the Tab key, in black on `background`.
QPlainTextEdit* plainTextBox(QWidget* parent, const QColor& background);
// Text boxes show files with their line ends made plain.
QString displayText(const std::string& text);
