// Trimming 24 screenshot-like 3840 x 2160 PNG and JPEG files to a 1600 x 900
// frame at quality 80: orvelle-trim beside ImageMagick's mogrify, the same
// batch saved as PNG beside it saved as JPEG, and beside
// libvips (vips crop, one process per file, as many at once as there are
// cores) on the same files, each as whole processes, measured in this run.

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <vector>

namespace {

// vips crop on every file, as many processes at once as there are cores.
bool VipsAll(const QStringList &files, const QDir &out) {
  bool ok = true;
  const int cores = QThread::idealThreadCount();
  for (int first = 0; first < files.size(); first += cores) {
    std::vector<std::unique_ptr<QProcess>> running;
    for (int i = first; i < std::min<int>(first + cores, int(files.size())); ++i) {
      running.push_back(std::make_unique<QProcess>());
      running.back()->start(QStringLiteral("vips"),
                            {QStringLiteral("crop"), files[i],
                             out.filePath(QFileInfo(files[i]).completeBaseName() + QStringLiteral(".jpg[Q=80]")),
                             QStringLiteral("200"), QStringLiteral("150"), QStringLiteral("1600"),
                             QStringLiteral("900")});
    }
    for (auto &p : running) {
      ok &= p->waitForFinished(600000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
    }
  }
  return ok;
}

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  const QDir root(dir.path());
  QStringList files;
  const QImage screen = orvelle::tools::SyntheticScreen({3840, 2160});
  QStringList jpegs;
  for (int i = 0; i < 24; ++i) {
    QImage shot = screen;
    QPainter(&shot).fillRect(40 * i, 300, 30, 30, Qt::red); // each a little different
    files << root.filePath(QStringLiteral("shot-%1.png").arg(i, 2, 10, QLatin1Char('0')));
    shot.save(files.last(), "PNG");
    jpegs << root.filePath(QStringLiteral("photo-%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    shot.save(jpegs.last(), "JPEG", 90);
  }
  QFile ini(root.filePath(QStringLiteral("trim.ini")));
  ini.open(QIODevice::WriteOnly);
  ini.write("[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=1600\nPicHeight=900\nNewPicStartX=0\nNewPicStartY=0\n"
            "NewPicWidth=1600\nNewPicHeight=900\nPicRatio=0\n");
  ini.close();
  root.mkdir(QStringLiteral("orvelle"));
  root.mkdir(QStringLiteral("mogrify"));
  root.mkdir(QStringLiteral("vips"));

  const QString trim = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  bool ok = true;
  const auto orvelleTrim = [&](const QStringList &images, const char *format = "jpeg") {
    return orvelle::bench::MedianMs(3, [&] {
      ok &= orvelle::bench::RunProcess(
          trim,
          QStringList{QStringLiteral("--settings"), ini.fileName(), QStringLiteral("--quality"), QStringLiteral("80"),
                      QStringLiteral("--format"), QString::fromLatin1(format), QStringLiteral("--overwrite"),
                      QStringLiteral("--output"), root.filePath(QStringLiteral("orvelle")), QStringLiteral("--")} +
              images);
    });
  };
  const double orvelle = orvelleTrim(files);
  const double mogrify = orvelle::bench::MedianMs(3, [&] {
    ok &= orvelle::bench::RunProcess(
        QStringLiteral("/usr/bin/mogrify"),
        QStringList{QStringLiteral("-path"), root.filePath(QStringLiteral("mogrify")), QStringLiteral("-crop"),
                    QStringLiteral("1600x900+200+150"), QStringLiteral("+repage"), QStringLiteral("-quality"),
                    QStringLiteral("80"), QStringLiteral("-format"), QStringLiteral("jpg")} +
            files);
  });
  std::printf("Batch trim of 24 PNG files (3840x2160, frame 1600x900, quality 80) on %d cores:\n",
              QThread::idealThreadCount());
  orvelle::bench::Report("orvelle-trim", orvelle, "mogrify -crop", mogrify, "0.5 or less");
  orvelle::bench::Report("orvelle-trim --format png", orvelleTrim(files, "png"), "the same batch to JPEG", orvelle,
                         "(for scale)");
  if (QStandardPaths::findExecutable(QStringLiteral("vips")).isEmpty()) {
    std::printf("  vips not installed (libvips-tools): its figures are left out\n");
  } else {
    const QDir vipsOut(root.filePath(QStringLiteral("vips")));
    const double vipsPng = orvelle::bench::MedianMs(3, [&] { ok &= VipsAll(files, vipsOut); });
    orvelle::bench::Report("orvelle-trim, PNG", orvelle, "vips crop, one process a file", vipsPng, "0.6 or less");
    const double orvelleJpeg = orvelleTrim(jpegs);
    const double vipsJpeg = orvelle::bench::MedianMs(3, [&] { ok &= VipsAll(jpegs, vipsOut); });
    orvelle::bench::Report("orvelle-trim, JPEG", orvelleJpeg, "vips crop, one process a file", vipsJpeg, "0.5 or less");
  }
  if (!ok) {
    std::printf("  (a run failed: the times are not comparable)\n");
  }
  return ok ? 0 : 1;
}
