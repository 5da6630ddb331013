#include "JobStatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <climits>

JobStatusBar::JobStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("statusBar");
  setSizeGripEnabled(false);
  timeLabel_ = new QLabel(this);
  timeLabel_->setObjectName("timeLabel");
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName("progressBar");
  progressBar_->setMaximumWidth(260);
  progressBar_->setFormat("%v of %m subsets");
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setObjectName("cancelButton");
  cancelButton_->setAutoDefault(false);
  // No taller than the bar's own line, so that the window keeps its layout while they show.
  const int line = QFontMetrics(font()).height() + 2;
  progressBar_->setFixedHeight(line);
  cancelButton_->setFixedHeight(line);
  addPermanentWidget(timeLabel_);
  addPermanentWidget(progressBar_);
  addPermanentWidget(cancelButton_);
  timeLabel_->hide();
  progressBar_->hide();
  cancelButton_->hide();
  // A message longer than the window is wide shows whole where the pointer rests on it.
  connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) {
    setToolTip(message);
  });
  connect(cancelButton_, &QPushButton::clicked, this, &JobStatusBar::cancelClicked);
  clockTimer_ = new QTimer(this);
  clockTimer_->setInterval(250);
  connect(clockTimer_, &QTimer::timeout, this, &JobStatusBar::showTime);
}

void JobStatusBar::jobStarted(const QString& progressFormat) {
  clearMessage();
  progressBar_->setFormat(progressFormat);
  progressBar_->setRange(0, 0);  // busy until the first progress
  progressBar_->setValue(0);
  timeLabel_->clear();
  phase_.clear();
  timeLabel_->show();
  progressBar_->show();
  cancelButton_->show();
  clock_.start();
  clockTimer_->start();
}

void JobStatusBar::showProgress(qint64 done, qint64 total) {
  if (total > 0) {
    // The bar counts in ints; very large counts are scaled.
    const int scale = total > INT_MAX ? static_cast<int>(total / INT_MAX + 1) : 1;
    progressBar_->setRange(0, static_cast<int>(total / scale));
    progressBar_->setValue(static_cast<int>(done / scale));
  }
  showTime();
}

void JobStatusBar::showTime() {
  const double seconds = secondsTaken();
  QString text = QString("%1 s").arg(seconds, 0, 'f', 0);
  if (!phase_.isEmpty()) {
    timeLabel_->setText(phase_ + ", " + text);
    return;
  }
  const int value = progressBar_->value();
  const int maximum = progressBar_->maximum();
  // The first subsets or lines say little of the rest: the time left shows once two seconds
  // have passed or a tenth is done.
  const bool settled = seconds >= 2 || value >= maximum / 10;
  if (settled && value > 0 && value < maximum) {
    text += QString(", about %1 s left")
                .arg(seconds * (maximum - value) / static_cast<double>(value), 0, 'f', 0);
  }
  timeLabel_->setText(text);
}

void JobStatusBar::showPhase(const QString& phase) {
  phase_ = phase;
  progressBar_->setRange(0, 0);
  showTime();
}

void JobStatusBar::jobEnded() {
  clockTimer_->stop();
  timeLabel_->hide();
  progressBar_->hide();
  cancelButton_->hide();
}

double JobStatusBar::secondsTaken() const {
  return static_cast<double>(clock_.elapsed()) / 1000.0;
}
