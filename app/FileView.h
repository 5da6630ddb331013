// A read-only view of a text file of any size: it indexes the line starts once and reads only
// the part of the file that is on screen, so a file of a gigabyte shows at once and costs
// little memory. Long lines scroll sideways. Ctrl+F finds text (F3 finds again) and marks the
// match, or says that it is not there; a selection made with the mouse or Shift and the arrows
// is copied with Ctrl+C. Home and End go to the start and end of the line, Ctrl+Home and
// Ctrl+End to the start and end of the file.
#pragma once

#include <QAbstractScrollArea>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class FileView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit FileView(QWidget* parent = nullptr);

  // Where the lines of a file start: made on any thread, shown by show().
  struct Index {
    std::vector<qint64> starts;  // offset of each line's first byte
    qint64 size = 0;
    qint64 longest = 0;  // bytes of the longest line
  };
  // Reads the file once in chunks; nothing of it stays in memory. False when it cannot be read.
  static bool indexFile(const QString& path, Index& index);

  // Shows the file; false when it cannot be read.
  bool open(const QString& path);
  // Shows a file indexed before.
  bool show(const QString& path, Index index);
  void clear();

  qint64 lineCount() const { return static_cast<qint64>(starts_.size()); }
  // Line i (counted from 0) without its line end.
  QByteArray line(qint64 i) const;
  // The first line shown.
  qint64 topLine() const;
  // Finds text after the current position; the view moves there and selects it. When the text
  // is not in the file, a note at the foot of the view says so.
  bool find(const QByteArray& text);
  // The note of the last search that found nothing, while it shows; else "".
  QString findMessage() const;

  // Replaceable so that tests never wait on a dialog: asks for the text to find.
  std::function<QString()> askForText;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  struct Position {
    qint64 line = 0;
    qint64 column = 0;
    bool operator<(const Position& o) const {
      return line < o.line || (line == o.line && column < o.column);
    }
  };
  QByteArray read(qint64 from, qint64 count) const;
  qint64 lineLength(qint64 i) const;
  Position positionAt(const QPoint& point) const;
  void updateScrollBars();
  void copySelection() const;
  void showPosition(const Position& at);
  // Puts the cursor (with no selection) at the position and shows it.
  void moveTo(const Position& at);

  mutable QFile file_;
  std::vector<qint64> starts_;  // offset of each line's first byte
  qint64 size_ = 0;
  qint64 longest_ = 0;  // bytes of the longest line
  Position anchor_;     // where the selection began
  Position cursor_;     // where it ends
  QByteArray lastSearch_;
  bool matchShown_ = false;  // the selection is a match of Find, marked in its own colour
  QLabel* findNote_;
};
