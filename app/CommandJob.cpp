#include "CommandJob.h"

#include <exception>

CommandJob::CommandJob(Work work, QObject* parent) : QObject(parent), work_(std::move(work)) {}

CommandJob::~CommandJob() {
  if (thread_ != nullptr) {
    cancel_ = true;
    thread_->wait();
    delete thread_;
  }
}

void CommandJob::start() {
  thread_ = QThread::create([this] {
    QString failure;
    try {
      result_ = work_(*this);
    } catch (const std::exception& e) {
      failure = QString::fromUtf8(e.what());
    }
    post([this, failure] { emit finished(failure); });
  });
  thread_->start();
}

void CommandJob::wait() {
  if (thread_ != nullptr) thread_->wait();
}

void CommandJob::post(std::function<void()> f) {
  QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

void CommandJob::reportPhase(const QString& phase) {
  post([this, phase] { emit this->phase(phase); });
}

void CommandJob::reportProgress(std::int64_t done, std::int64_t total) {
  post([this, done, total] { emit progress(done, total); });
}
