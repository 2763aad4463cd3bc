#include "batch/batch_trim.h"

#include "batch/region_reader.h"
#include "capture/picture_box.h"
#include "capture/trim.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThreadPool>
#include <mutex>

namespace orvelle {

std::variant<QImage, QString> TrimImageFile(const QString &path, const BatchFrame &frame) {
  const auto size = TrimOutputSize(frame.drag);
  if (!size || size->isEmpty()) {
    return QStringLiteral("トリミング枠が設定されていません");
  }
  std::optional<TrimPaint> paint;
  const auto read = ReadRegion(path, [&](QSize picture) {
    paint = PlanTrimPaint(picture, frame.trim, frame.drag);
    return paint ? paint->source : QRect();
  });
  if (const QString *reason = std::get_if<QString>(&read)) {
    return *reason;
  }
  const Region &region = std::get<Region>(read);
  QImage output(*size, QImage::Format_RGB32);
  output.fill(frame.background);
  if (paint && !region.pixels.isNull()) {
    PaintStretched(output, region.pixels, paint->destination, paint->source.translated(-region.area.topLeft()));
  }
  return output;
}

namespace {

// The output of each input, and why it may not be written.
std::vector<std::pair<QString, QString>> Outputs(const QStringList &files, const QString &folder) {
  QSet<QString> inputs;
  for (const QString &file : files) {
    inputs.insert(QFileInfo(file).absoluteFilePath());
  }
  QSet<QString> taken;
  std::vector<std::pair<QString, QString>> outputs;
  for (const QString &file : files) {
    const QString output = QDir(folder).absoluteFilePath(QFileInfo(file).completeBaseName() + QStringLiteral(".jpg"));
    QString problem;
    if (inputs.contains(output) || QFileInfo(output).canonicalFilePath() == QFileInfo(file).canonicalFilePath()) {
      problem = QStringLiteral("保存先が入力ファイルと同じになるため保存しません");
    } else if (taken.contains(output)) {
      problem = QStringLiteral("同じ名前の画像が先にあるため保存しません（%1）").arg(QFileInfo(output).fileName());
    }
    taken.insert(output);
    outputs.emplace_back(output, problem);
  }
  return outputs;
}

QString SaveTrimmed(const QString &file, const QString &output, const BatchJob &job) {
  const auto trimmed = TrimImageFile(file, job.frame);
  if (const QString *reason = std::get_if<QString>(&trimmed)) {
    return *reason;
  }
  const QImage &image = std::get<QImage>(trimmed);
  const int code = job.save(image.constBits(), image.width(), image.height(), int(image.bytesPerLine()),
                            QFile::encodeName(output).constData(), static_cast<uint8_t>(job.quality), -1);
  return code == SAVEJPG_OK ? QString()
                            : QStringLiteral("「%1」を保存できませんでした（エラー コード %2）")
                                  .arg(QDir::toNativeSeparators(output))
                                  .arg(code);
}

} // namespace

std::vector<BatchFailure> RunBatch(const QStringList &files, const BatchJob &job,
                                   const std::function<void(int done)> &progress, const std::atomic<bool> &cancel) {
  const auto outputs = Outputs(files, job.folder);
  std::vector<BatchFailure> failures;
  std::mutex lock;
  int done = 0;
  QThreadPool pool;
  for (int i = 0; i < files.size(); ++i) {
    pool.start([&, i] {
      if (cancel) {
        return;
      }
      const auto &[output, problem] = outputs[std::size_t(i)];
      const QString reason = problem.isEmpty() ? SaveTrimmed(files[i], output, job) : problem;
      std::lock_guard<std::mutex> guard(lock);
      if (!reason.isEmpty()) {
        failures.push_back({files[i], reason});
      }
      progress(++done);
    });
  }
  pool.waitForDone();
  // In the order of the files, whatever order the workers ended in.
  std::sort(failures.begin(), failures.end(), [&files](const BatchFailure &a, const BatchFailure &b) {
    return files.indexOf(a.file) < files.indexOf(b.file);
  });
  return failures;
}

} // namespace orvelle
