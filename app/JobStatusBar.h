// The window's status bar: what the last command has to say, and while a command runs, its
// progress, the time taken and left, and Cancel.
#pragma once

#include <QElapsedTimer>
#include <QStatusBar>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class JobStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit JobStatusBar(QWidget* parent);

  // Clears the message and shows the progress (busy until the first count; `progressFormat`
  // as QProgressBar has it, "%v of %m subsets"), the clock and Cancel.
  void jobStarted(const QString& progressFormat);
  void showProgress(qint64 done, qint64 total);
  // A phase without a count: the bar turns busy and the clock says the phase.
  void showPhase(const QString& phase);
  // Hides the progress, the clock and Cancel.
  void jobEnded();
  // Seconds since the job started.
  double secondsTaken() const;

 signals:
  void cancelClicked();

 private:
  void showTime();

  QLabel* timeLabel_;
  QProgressBar* progressBar_;
  QPushButton* cancelButton_;
  QElapsedTimer clock_;
  QTimer* clockTimer_;
  QString phase_;
};
