// One screen trim on a 3840 x 2160 X display (a 1600 x 900 frame at 200,150,
// quality 80): orvelle-trim --screen beside maim's region screenshot and
// ImageMagick's import of the root window, each as a whole process, measured
// in this run. Run under an X server of that size (scripts/bench.sh).

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

using namespace orvelle;

namespace {
// A full-screen window showing a screenshot-like picture, so that the
// screen holds what a desktop holds.
class Desktop : public QRasterWindow {
public:
  explicit Desktop(QSize size) : m_picture(tools::SyntheticScreen(size)) {
    setFlags(Qt::FramelessWindowHint);
    setGeometry(QRect(QPoint(0, 0), size));
    show();
  }

protected:
  void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
  QImage m_picture;
};
} // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  Desktop desktop(size);
  for (int i = 0; i < 20; ++i) {
    QThread::msleep(50);
    QCoreApplication::processEvents();
  }
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("trim.ini"));
  QFile file(ini);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write("[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=1600\nPicHeight=900\nNewPicStartX=0\n"
                 "NewPicStartY=0\nNewPicWidth=1600\nNewPicHeight=900\nPicRatio=0\n") < 0) {
    return 1;
  }
  file.close();
  const QString trim = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  std::printf("One screen trim of a 1600x900 frame on a %dx%d X display at quality 80:\n", size.width(), size.height());
  bool ok = true;
  const double ours = bench::MedianMs(15, [&] {
    ok &= bench::RunProcess(trim,
                            {QStringLiteral("--screen"), QStringLiteral("--settings"), ini, QStringLiteral("--quality"),
                             QStringLiteral("80"), QStringLiteral("--output"), dir.path()});
  });
  if (!ok) {
    std::printf("orvelle-trim --screen failed\n");
    return 1;
  }
  const QString out = dir.filePath(QStringLiteral("out.jpg"));
  if (QFile::exists(QStringLiteral("/usr/bin/maim"))) {
    const double maim = bench::MedianMs(15, [&] {
      bench::RunProcess(QStringLiteral("/usr/bin/maim"), {QStringLiteral("-g"), QStringLiteral("1600x900+200+150"),
                                                          QStringLiteral("-f"), QStringLiteral("jpg"), out});
    });
    bench::Report("orvelle-trim --screen", ours, "maim -g 1600x900+200+150 -f jpg", maim, "1.0 or less");
  } else {
    std::printf("maim not found (package maim)\n");
  }
  const double import = bench::MedianMs(5, [&] {
    bench::RunProcess(QStringLiteral("/usr/bin/import"),
                      {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                       QStringLiteral("1600x900+200+150"), QStringLiteral("-quality"), QStringLiteral("80"), out});
  });
  bench::Report("orvelle-trim --screen", ours, "ImageMagick import -window root -crop", import, "(for scale)");
  return 0;
}
