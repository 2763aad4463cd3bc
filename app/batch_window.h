#pragma once

#include "batch/batch_trim.h"

#include <QProgressDialog>

namespace orvelle {

class BatchRun;

// The image files the user chooses for a batch trim; none when cancelled.
QStringList ChooseBatchFiles(QWidget *owner);

// The batch trim's progress window, modal to its owner. When other files of
// the outputs' names are already there it first asks, once, whether to
// replace them (otherwise they are passed over and listed). Then it runs the
// batch, counts the files done, cancels on its button, and at the end tells
// the user which files failed and why; then it deletes itself.
class BatchWindow : public QProgressDialog {
  Q_OBJECT

public:
  BatchWindow(QWidget *owner, const QStringList &files, BatchJob job);

signals:
  // At the end, done or cancelled: the files saved and those that failed.
  void ended(int saved, int failed);

private:
  void Report(const std::vector<BatchFailure> &failures);

  qsizetype m_total;
  int m_done = 0; // the files done, saved or failed
  BatchRun *m_run;
};

} // namespace orvelle
