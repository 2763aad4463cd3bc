// Trimming 24 screenshot-like 3840 x 2160 PNG files to a 1600 x 900 frame at
// quality 80: orvelle-trim beside ImageMagick's mogrify on the same files, each
// as a whole process, measured side by side in this run.

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  QTemporaryDir dir;
  const QDir root(dir.path());
  QStringList files;
  const QImage screen = orvelle::tools::SyntheticScreen({3840, 2160});
  for (int i = 0; i < 24; ++i) {
    QImage shot = screen;
    QPainter(&shot).fillRect(40 * i, 300, 30, 30, Qt::red); // each a little different
    files << root.filePath(QStringLiteral("shot-%1.png").arg(i, 2, 10, QLatin1Char('0')));
    shot.save(files.last(), "PNG");
  }
  QFile ini(root.filePath(QStringLiteral("trim.ini")));
  ini.open(QIODevice::WriteOnly);
  ini.write("[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=1600\nPicHeight=900\nNewPicStartX=0\nNewPicStartY=0\n"
            "NewPicWidth=1600\nNewPicHeight=900\nPicRatio=0\n");
  ini.close();
  root.mkdir(QStringLiteral("orvelle"));
  root.mkdir(QStringLiteral("mogrify"));

  const QString trim = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  bool ok = true;
  const double orvelle = orvelle::bench::MedianMs(3, [&] {
    ok &= orvelle::bench::RunProcess(
        trim, QStringList{QStringLiteral("--settings"), ini.fileName(), QStringLiteral("--quality"),
                          QStringLiteral("80"), QStringLiteral("--output"), root.filePath(QStringLiteral("orvelle"))} +
                  files);
  });
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
  if (!ok) {
    std::printf("  (a run failed: the times are not comparable)\n");
  }
  return ok ? 0 : 1;
}
