#include "core/batch_run.h"

#include <QFutureInterface>
#include <QtConcurrent/QtConcurrentRun>

namespace orvelle {

BatchRun::BatchRun(QObject *parent) : QObject(parent) {
  connect(&m_watcher, &QFutureWatcherBase::progressValueChanged, this, &BatchRun::progressed);
  connect(&m_watcher, &QFutureWatcherBase::finished, this, [this] {
    const auto results = m_watcher.future().results();
    emit finished(results.isEmpty() ? std::vector<BatchFailure>() : results.front());
  });
}

BatchRun::~BatchRun() {
  Cancel();
  m_watcher.disconnect(this);
  m_watcher.waitForFinished();
}

void BatchRun::Start(const QStringList &files, const BatchJob &job) {
  m_cancel = std::make_shared<std::atomic<bool>>(false);
  // The worker holds shares of what it uses, nothing of the caller's.
  QFutureInterface<std::vector<BatchFailure>> result;
  result.reportStarted();
  result.setProgressRange(0, int(files.size()));
  m_watcher.setFuture(result.future());
  (void)QtConcurrent::run([result, files, job, cancel = m_cancel]() mutable {
    const auto failures = RunBatch(
        files, job, [result](int done) mutable { result.setProgressValue(done); }, *cancel);
    result.reportResult(failures);
    result.reportFinished();
  });
}

void BatchRun::Cancel() {
  if (m_cancel) {
    *m_cancel = true;
  }
}

} // namespace orvelle
