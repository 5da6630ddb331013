#include "FileView.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kChunk = qint64{1} << 22;          // bytes read at a time to index or find
constexpr qint64 kLargestCopy = qint64{256} << 20;  // the most a copy takes

}  // namespace

FileView::FileView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  askForText = [this] { return QInputDialog::getText(this, "Find", "Find:"); };
  // A plain background: a coloured one reads as if everything were selected.
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  findNote_ = new QLabel(this);
  findNote_->setObjectName("findNote");
  findNote_->setStyleSheet(
      "background: #fff3b0; color: black; border: 1px solid #b0a060; padding: 2px 6px;");
  findNote_->hide();
}

QString FileView::findMessage() const {
  return findNote_->isHidden() ? QString() : findNote_->text();
}

void FileView::clear() {
  file_.close();
  starts_.clear();
  size_ = 0;
  longest_ = 0;
  anchor_ = cursor_ = {};
  updateScrollBars();
  viewport()->update();
}

bool FileView::indexFile(const QString& path, Index& index) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  index = {};
  index.size = file.size();
  index.starts.push_back(0);
  QByteArray chunk;
  for (qint64 at = 0; at < index.size; at += kChunk) {
    file.seek(at);
    chunk = file.read(kChunk);
    const char* data = chunk.constData();
    const char* end = data + chunk.size();
    for (const char* p = data;
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) !=
         nullptr;
         ++p) {
      const qint64 next = at + (p - data) + 1;
      index.longest = std::max(index.longest, next - index.starts.back());
      if (next < index.size) index.starts.push_back(next);
    }
  }
  index.longest = std::max(index.longest, index.size - index.starts.back());
  if (index.size == 0) index.starts.clear();
  return true;
}

bool FileView::open(const QString& path) {
  Index index;
  if (!indexFile(path, index)) {
    clear();
    return false;
  }
  return show(path, std::move(index));
}

bool FileView::show(const QString& path, Index index) {
  clear();
  file_.setFileName(path);
  if (!file_.open(QIODevice::ReadOnly)) return false;
  starts_ = std::move(index.starts);
  size_ = index.size;
  longest_ = index.longest;
  updateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
  return true;
}

QByteArray FileView::read(qint64 from, qint64 count) const {
  if (count <= 0 || !file_.isOpen()) return {};
  file_.seek(from);
  return file_.read(count);
}

qint64 FileView::lineLength(qint64 i) const {
  const qint64 end = i + 1 < lineCount() ? starts_[static_cast<std::size_t>(i + 1)] : size_;
  qint64 length = end - starts_[static_cast<std::size_t>(i)];
  // Without the line end (LF or CR LF).
  const QByteArray tail = read(end - std::min<qint64>(length, 2), std::min<qint64>(length, 2));
  if (tail.endsWith('\n')) --length;
  if (tail.endsWith("\r\n")) --length;
  return length;
}

QByteArray FileView::line(qint64 i) const {
  if (i < 0 || i >= lineCount()) return {};
  return read(starts_[static_cast<std::size_t>(i)], lineLength(i));
}

qint64 FileView::topLine() const {
  return verticalScrollBar()->value();
}

void FileView::updateScrollBars() {
  const QFontMetrics metrics(font());
  const int rows = std::max(1, viewport()->height() / metrics.lineSpacing());
  const int columns =
      std::max(1, viewport()->width() / std::max(1, metrics.horizontalAdvance('0')));
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<qint64>(0, lineCount() - rows)));
  verticalScrollBar()->setPageStep(rows);
  horizontalScrollBar()->setRange(
      0, static_cast<int>(std::min<qint64>(INT_MAX, std::max<qint64>(0, longest_ - columns + 1))));
  horizontalScrollBar()->setPageStep(columns);
}

void FileView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void FileView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QFontMetrics metrics(font());
  const int height = metrics.lineSpacing();
  const int width = std::max(1, metrics.horizontalAdvance('0'));
  const qint64 first = topLine();
  const qint64 left = horizontalScrollBar()->value();
  const qint64 columns = viewport()->width() / width + 2;
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  for (int row = 0; row * height < viewport()->height(); ++row) {
    const qint64 i = first + row;
    if (i >= lineCount()) break;
    const qint64 length = lineLength(i);
    const QByteArray shown =
        read(starts_[static_cast<std::size_t>(i)] + left, std::min(columns, length - left));
    const int y = row * height;
    if (from < to && from.line <= i && i <= to.line) {
      const qint64 a = i == from.line ? from.column : 0;
      const qint64 b = i == to.line ? to.column : length + 1;
      const qint64 x0 = std::max<qint64>(a - left, 0);
      const qint64 x1 = std::min<qint64>(b - left, columns);
      if (x1 > x0) {
        // A match of Find in amber, which shows on any background; a selection as the system
        // colours it.
        painter.fillRect(static_cast<int>(x0 * width), y, static_cast<int>((x1 - x0) * width),
                         height,
                         matchShown_ ? QBrush(QColor(255, 190, 60)) : palette().highlight());
      }
    }
    painter.drawText(0, y + metrics.ascent(), QString::fromLatin1(shown));
  }
}

FileView::Position FileView::positionAt(const QPoint& point) const {
  const QFontMetrics metrics(font());
  Position at;
  at.line = std::clamp<qint64>(topLine() + point.y() / metrics.lineSpacing(), 0,
                               std::max<qint64>(0, lineCount() - 1));
  at.column = std::max<qint64>(
      0, horizontalScrollBar()->value() + point.x() / std::max(1, metrics.horizontalAdvance('0')));
  if (lineCount() > 0) at.column = std::min(at.column, lineLength(at.line));
  return at;
}

void FileView::mousePressEvent(QMouseEvent* event) {
  matchShown_ = false;
  findNote_->hide();
  cursor_ = positionAt(event->position().toPoint());
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = cursor_;
  viewport()->update();
}

void FileView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  matchShown_ = false;
  cursor_ = positionAt(event->position().toPoint());
  viewport()->update();
}

void FileView::copySelection() const {
  const Position from = std::min(anchor_, cursor_);
  const Position to = std::max(anchor_, cursor_);
  if (!(from < to) || lineCount() == 0) return;
  const qint64 begin = starts_[static_cast<std::size_t>(from.line)] + from.column;
  const qint64 end =
      starts_[static_cast<std::size_t>(to.line)] + std::min(to.column, lineLength(to.line));
  QByteArray text = read(begin, std::min(end - begin, kLargestCopy));
  text.replace("\r\n", "\n");
  QApplication::clipboard()->setText(QString::fromUtf8(text));
}

void FileView::showPosition(const Position& at) {
  const int rows = verticalScrollBar()->pageStep();
  if (at.line < topLine() || at.line >= topLine() + rows) {
    verticalScrollBar()->setValue(static_cast<int>(std::max<qint64>(0, at.line - rows / 2)));
  }
  const qint64 left = horizontalScrollBar()->value();
  const qint64 columns = horizontalScrollBar()->pageStep();
  if (at.column < left || at.column >= left + columns) {
    horizontalScrollBar()->setValue(static_cast<int>(std::max<qint64>(0, at.column - columns / 4)));
  }
  viewport()->update();
}

void FileView::moveTo(const Position& at) {
  matchShown_ = false;
  anchor_ = cursor_ = at;
  showPosition(at);
}

bool FileView::find(const QByteArray& text) {
  findNote_->hide();
  if (text.isEmpty()) return false;
  lastSearch_ = text;
  const auto notFound = [&] {
    findNote_->setText("\"" + QString::fromUtf8(text) + "\" is not in the file.");
    findNote_->adjustSize();
    findNote_->move(4, viewport()->geometry().bottom() - findNote_->height() - 4);
    findNote_->show();
    findNote_->raise();
    return false;
  };
  if (lineCount() == 0) return notFound();
  const Position after = std::max(anchor_, cursor_);
  qint64 at = starts_[static_cast<std::size_t>(after.line)] + after.column;
  if (anchor_ < cursor_ || cursor_ < anchor_) ++at;  // not the match already selected
  for (int pass = 0; pass < 2; ++pass) {             // from here to the end, then from the start
    const qint64 stop = pass == 0 ? size_ : std::min(size_, at + text.size());
    for (qint64 from = pass == 0 ? at : 0; from < stop; from += kChunk) {
      const QByteArray chunk = read(from, std::min(kChunk + text.size() - 1, size_ - from));
      const qsizetype hit = chunk.indexOf(text);
      if (hit < 0) continue;
      const qint64 offset = from + hit;
      const auto line =
          std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin() - 1;
      anchor_ = {line, offset - starts_[static_cast<std::size_t>(line)]};
      cursor_ = {line, anchor_.column + text.size()};
      matchShown_ = true;
      showPosition(anchor_);
      return true;
    }
  }
  return notFound();
}

void FileView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copySelection();
  } else if (event->matches(QKeySequence::Find)) {
    const QString text = askForText();
    if (!text.isEmpty()) find(text.toUtf8());
  } else if (event->matches(QKeySequence::FindNext)) {
    find(lastSearch_);
  } else if (event->matches(QKeySequence::MoveToStartOfDocument)) {
    moveTo({});
  } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
    const qint64 last = std::max<qint64>(0, lineCount() - 1);
    moveTo({last, lineCount() > 0 ? lineLength(last) : 0});
  } else if (event->matches(QKeySequence::MoveToStartOfLine)) {
    moveTo({cursor_.line, 0});
  } else if (event->matches(QKeySequence::MoveToEndOfLine)) {
    moveTo({cursor_.line, lineCount() > 0 ? lineLength(cursor_.line) : 0});
  } else if (event->matches(QKeySequence::SelectAll)) {
    matchShown_ = false;
    anchor_ = {};
    cursor_ = {std::max<qint64>(0, lineCount() - 1),
               lineCount() > 0 ? lineLength(lineCount() - 1) : 0};
    viewport()->update();
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}
