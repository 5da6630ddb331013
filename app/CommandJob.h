// A command run off the window's thread: it reports progress by signals, can be asked to
// stop, and hands back what it made. The window only starts it, shows what it posts, and may
// cancel it.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <any>
#include <atomic>
#include <cstdint>
#include <functional>

class CommandJob : public QObject {
  Q_OBJECT

 public:
  // The work runs on the job's own thread and returns its result. It posts whatever the
  // window must show before the end with post(), and checks cancelFlag() where it can stop.
  using Work = std::function<std::any(CommandJob& job)>;

  CommandJob(Work work, QObject* parent);
  ~CommandJob() override;

  void start();
  void cancel() { cancel_ = true; }
  bool cancelled() const { return cancel_; }
  const std::atomic<bool>& cancelFlag() const { return cancel_; }
  // Blocks until the work has ended; the window calls it only when it closes.
  void wait();
  // What the work returned; empty until it has finished without a failure.
  std::any& result() { return result_; }

  // From the work's thread: runs f on the window's thread, after everything posted before.
  void post(std::function<void()> f);
  // From any thread: the progress signal, at most a few times a second.
  void reportProgress(std::int64_t done, std::int64_t total);
  // From any thread: the work has reached a phase without a count ("Writing files").
  void reportPhase(const QString& phase);

 signals:
  void progress(qint64 done, qint64 total);
  void phase(const QString& phase);
  // On the window's thread, after everything posted: the failure's message, or empty.
  void finished(const QString& failure);

 private:
  Work work_;
  std::any result_;  // written by the work's thread before finished, read after it
  QThread* thread_ = nullptr;
  std::atomic<bool> cancel_{false};
};
