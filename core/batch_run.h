#pragma once

#include "batch/batch_trim.h"

#include <QFutureWatcher>
#include <QObject>
#include <atomic>
#include <memory>

namespace orvelle {

// A batch trim run on worker threads while the caller's thread goes on: it
// reports progress and, once every file is done or the run is cancelled, the
// files that failed, both as signals in the caller's thread.
class BatchRun : public QObject {
  Q_OBJECT

public:
  explicit BatchRun(QObject *parent = nullptr);
  // Cancels a run still going and waits for the files being saved.
  ~BatchRun() override;

  bool running() const { return m_watcher.isRunning(); }
  void Start(const QStringList &files, const BatchJob &job);
  // No further file is started; the ones being saved are saved whole.
  void Cancel();

signals:
  void progressed(int done);
  void finished(const std::vector<orvelle::BatchFailure> &failures);

private:
  std::shared_ptr<std::atomic<bool>> m_cancel;
  QFutureWatcher<std::vector<BatchFailure>> m_watcher;
};

} // namespace orvelle
