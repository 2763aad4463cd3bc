#include "app/batch_window.h"

#include "batch/cli/problem_words.h"

#include "app/message_box.h"
#include "core/batch_run.h"

#include <QDir>
#include <QFileDialog>
#include <QImageReader>

namespace orvelle {

QStringList ChooseBatchFiles(QWidget *owner) {
  QStringList patterns;
  for (const QByteArray &format : QImageReader::supportedImageFormats()) {
    patterns << QStringLiteral("*.") + QString::fromLatin1(format);
  }
  return QFileDialog::getOpenFileNames(
      owner, QStringLiteral("一括トリムする画像の選択"), QString(),
      QStringLiteral("画像 (%1);;すべてのファイル (*)").arg(patterns.join(QLatin1Char(' '))));
}

BatchWindow::BatchWindow(QWidget *owner, const QStringList &files, BatchJob job)
    : QProgressDialog(QStringLiteral("一括トリム中… %1 枚").arg(files.size()), QStringLiteral("キャンセル"), 0,
                      int(files.size()), owner),
      m_total(files.size()), m_run(new BatchRun(this)) {
  const QStringList existing = ExistingOutputs(files, job.folder, job.format);
  job.overwrite =
      !existing.isEmpty() &&
      AskYesNo(owner, QStringLiteral("保存先に同じ名前の画像が %1 枚あります。上書きしますか？").arg(existing.size()));
  setWindowTitle(kMessageCaption);
  setWindowModality(Qt::WindowModal);
  setMinimumDuration(0);
  setAutoClose(false);
  setAutoReset(false);
  connect(this, &QProgressDialog::canceled, m_run, &BatchRun::Cancel);
  connect(m_run, &BatchRun::progressed, this, [this](int done) {
    m_done = done;
    setValue(done);
  });
  connect(m_run, &BatchRun::finished, this, &BatchWindow::Report);
  m_run->Start(files, job);
}

void BatchWindow::Report(const std::vector<BatchFailure> &failures) {
  hide();
  emit ended(m_done - int(failures.size()), int(failures.size()));
  if (!failures.empty()) {
    // The first few in the box, every one in its scrolling details, so that
    // the box fits the screen however many there are.
    constexpr int kShown = 8;
    QStringList lines;
    for (const BatchFailure &failure : failures) {
      lines << QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(failure.file), Words(failure.reason));
    }
    QString text = QStringLiteral("一括トリムで保存できなかった画像があります（%1 枚中 %2 枚）。\n\n%3")
                       .arg(m_total)
                       .arg(failures.size())
                       .arg(lines.mid(0, kShown).join(QLatin1Char('\n')));
    if (lines.size() > kShown) {
      text += QStringLiteral("\n…ほか %1 枚（すべての一覧は詳細にあります）").arg(lines.size() - kShown);
    }
    ShowMessage(parentWidget(), text, lines.size() > kShown ? lines.join(QLatin1Char('\n')) : QString());
  }
  deleteLater();
}

} // namespace orvelle
