// The main window's commands that trim over and over: continuous trimming of
// each image that arrives on the clipboard, and batch trimming of files.

#include "app/form1.h"

#include "batch/batch_trim.h"
#include "capture/acquire.h"
#include "capture/picture_box.h"
#include "capture/same_picture.h"
#include "capture/trim.h"
#include "common/message_box.h"
#include "export/jpeg_export.h"
#include "export/jpeg_library.h"
#include "export/numbered_name.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QSlider>
#include <QThread>

namespace orvelle {

namespace {
const QString kNoFrame = QStringLiteral("トリミング枠が設定されていません");
} // namespace

void Form1::M_R_Continuous_Toggled(bool on) {
  if (!on) {
    StopContinuous();
    return;
  }
  const TrimFrame &trim = m_state.frame.trim;
  QString problem = trim.PicWidth == 0 || trim.PicHeight == 0 ? kNoFrame : SaveProblem(Text2->text(), m_panel1->text());
  if (!problem.isEmpty()) {
    StopContinuous();
    ShowMessage(this, problem);
    return;
  }
  m_continuousSaved = 0;
  m_continuousUnreadable = 0;
  m_lastSaved = QImage();
  ShowContinuousCount();
  m_panel2->show();
}

void Form1::StopContinuous() {
  const QSignalBlocker quiet(m_continuous);
  m_continuous->setChecked(false);
  // The count stays in view until the next start.
  m_panel2->setText(QStringLiteral("連続トリム停止：%1 枚").arg(m_continuousSaved));
}

void Form1::ClipboardChanged() {
  // One picture at a time: pictures that arrive while one is taken (the
  // clipboard is read, a message is open) are seen once it is done, by
  // taking the clipboard's picture of then.
  if (m_takingPicture) {
    m_pictureWaiting = true;
    return;
  }
  m_takingPicture = true;
  do {
    m_pictureWaiting = false;
    TakeContinuousPicture();
  } while (m_pictureWaiting);
  m_takingPicture = false;
}

void Form1::TakeContinuousPicture() {
  const QMimeData *data = m_env.clipboard->mimeData();
  if (!m_continuous->isChecked() || data == nullptr || !HoldsPicture(*data)) {
    return; // text and the like are not pictures to trim
  }
  if (!Capture().isEmpty() || !Picture1->hasPicture()) {
    ++m_continuousUnreadable; // nothing is saved for a picture that cannot be read
    ShowContinuousCount();
    return;
  }
  Command4_Click();
  // The same picture offered again (a clipboard manager taking it over) is
  // passed over: neither saved nor counted.
  const QImage trimmed = Picture2->image();
  if (SamePicture(trimmed, m_lastSaved)) {
    return;
  }
  const QString folder = m_panel1->text();
  if (!SaveTrimmedJpeg(SaveJob(NextNumberedName(folder, Text2->text())), folder, m_state.SaveFolder, trimmed)) {
    StopContinuous();
    return;
  }
  m_lastSaved = trimmed;
  ++m_continuousSaved;
  ShowContinuousCount();
}

void Form1::ShowContinuousCount() {
  QString text = QStringLiteral("連続トリム中：%1 枚").arg(m_continuousSaved);
  if (m_continuousUnreadable > 0) {
    text += QStringLiteral("（読み込めない画像 %1 枚）").arg(m_continuousUnreadable);
  }
  m_panel2->setText(text);
}

QString Form1::BatchProblem() const {
  const auto size = TrimOutputSize(m_state.frame.drag);
  return !size || size->isEmpty() ? kNoFrame : FolderProblem(m_panel1->text());
}

void Form1::M_R_Batch_Click() {
  if (const QString problem = BatchProblem(); !problem.isEmpty()) {
    ShowMessage(this, problem);
    return;
  }
  QStringList patterns;
  for (const QByteArray &format : QImageReader::supportedImageFormats()) {
    patterns << QStringLiteral("*.") + QString::fromLatin1(format);
  }
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QStringLiteral("一括トリムする画像の選択"), QString(),
      QStringLiteral("画像 (%1);;すべてのファイル (*)").arg(patterns.join(QLatin1Char(' '))));
  if (!files.isEmpty()) {
    BatchTrimFiles(files);
  }
}

void Form1::BatchTrimFiles(const QStringList &files) {
  if (const QString problem = BatchProblem(); !problem.isEmpty()) {
    ShowMessage(this, problem);
    return;
  }
  const QString libraryPath = JpegLibraryPath(m_env.executableFolder);
  QString loadError;
  const auto save = ResolveSavePixelstoJPEG(libraryPath, &loadError);
  if (save == nullptr) {
    ShowMessage(this, LibraryProblem(libraryPath, loadError));
    return;
  }
  // Files already there under an output's name are replaced only when the
  // user says so, asked once; otherwise they are passed over and listed.
  const QStringList existing = ExistingOutputs(files, m_panel1->text());
  const bool overwrite =
      !existing.isEmpty() &&
      AskYesNo(this, QStringLiteral("保存先に同じ名前の画像が %1 枚あります。上書きしますか？").arg(existing.size()));
  const BatchJob job{{m_state.frame.trim, m_state.frame.drag}, m_panel1->text(), Slider1->value(), save, overwrite};

  // The files are trimmed on worker threads while the window stays responsive.
  QProgressDialog progress(QStringLiteral("一括トリム中… %1 枚").arg(files.size()), QStringLiteral("キャンセル"), 0,
                           int(files.size()), this);
  progress.setWindowTitle(kMessageCaption);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  std::atomic<bool> cancel{false};
  connect(&progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
  std::vector<BatchFailure> failures;
  QEventLoop loop;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    failures = RunBatch(
        files, job,
        [&progress](int done) {
          QMetaObject::invokeMethod(
              &progress, [&progress, done] { progress.setValue(done); }, Qt::QueuedConnection);
        },
        cancel);
  }));
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  progress.close();
  if (!failures.empty()) {
    // The first few in the box, every one in its scrolling details, so that
    // the box fits the screen however many there are.
    constexpr int kShown = 8;
    QStringList lines;
    for (const BatchFailure &failure : failures) {
      lines << QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(failure.file), failure.reason);
    }
    QString text = QStringLiteral("一括トリムで保存できなかった画像があります（%1 枚中 %2 枚）。\n\n%3")
                       .arg(files.size())
                       .arg(failures.size())
                       .arg(lines.mid(0, kShown).join(QLatin1Char('\n')));
    if (lines.size() > kShown) {
      text += QStringLiteral("\n…ほか %1 枚（すべての一覧は詳細にあります）").arg(lines.size() - kShown);
    }
    ShowMessage(this, text, lines.size() > kShown ? lines.join(QLatin1Char('\n')) : QString());
  }
}

} // namespace orvelle
