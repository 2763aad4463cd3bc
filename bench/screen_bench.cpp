// One screen trim on a 3840 x 2160 X display (a 1600 x 900 frame at 200,150,
// quality 80): orvelle-trim --screen beside maim's region screenshot and
// ImageMagick's import of the root window, each as a whole process, measured
// in this run; the interval trim at 1 s on the unchanged screen (its share of
// one core), and the grab-trim-compare unit run 500 times (resident memory).
// Run under an X server of that size (scripts/bench.sh).

#include "batch/screen_trim.h"
#include "bench/bench_util.h"
#include "bench/desktop_window.h"
#include "capture/screen/screen_grab.h"
#include "export/jpeg_library.h"
#include "resources/tools/synthetic_screen.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace orvelle;

namespace {
// The interval at 1 s on the unchanged screen for this long: the command's
// processor time against the time it ran, in percent of one core.
double IntervalCpuPercent(const QString &trim, const QStringList &args, int seconds) {
  QProcess every;
  every.start(trim, QStringList(args) << QStringLiteral("--every") << QStringLiteral("1"));
  every.waitForStarted();
  QThread::sleep(seconds);
  every.terminate();
  every.waitForFinished();
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  return 100.0 * cpu / seconds;
}

} // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  bench::Desktop desktop(size);
  for (int i = 0; i < 20; ++i) {
    QThread::msleep(50);
    QCoreApplication::processEvents();
  }
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("trim.ini"));
  if (!bench::WriteBenchFrame(ini)) {
    return 1;
  }
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

  // Everything before was measured: the children's processor time so far is
  // subtracted from the interval's.
  rusage before{};
  getrusage(RUSAGE_CHILDREN, &before);
  const double earlier = double(before.ru_utime.tv_sec + before.ru_stime.tv_sec) +
                         double(before.ru_utime.tv_usec + before.ru_stime.tv_usec) / 1e6;
  const int seconds = 20;
  const double percent =
      IntervalCpuPercent(trim,
                         {QStringLiteral("--screen"), QStringLiteral("--settings"), ini, QStringLiteral("--quality"),
                          QStringLiteral("80"), QStringLiteral("--output"), dir.path()},
                         seconds) -
      100.0 * earlier / seconds;
  std::printf("%-44s %9.2f %% of one core   (goal: 5 or less)\n", "interval at 1 s, unchanged screen, CPU", percent);

  // The unit an interval repeats, directly: grab, trim, compare (nothing is saved after the first).
  const BatchFrame frame{{200, 150, 1600, 900}, {0, 0, 1600, 900}};
  const auto resolved = ResolveSavePixelstoJPEG(JpegLibraryPath(QCoreApplication::applicationDirPath()));
  const auto save = resolved ? *resolved : nullptr;
  ScreenSeries series(frame, {dir.path(), QStringLiteral("memory"), 80, save}, true);
  long after10 = 0;
  for (int i = 1; i <= 500; ++i) {
    const auto grabbed = GrabX11([&](QSize desktop) { return series.Needed(desktop); });
    const auto expected = i == 1 ? ScreenSeries::Outcome::Saved : ScreenSeries::Outcome::Unchanged;
    if (save == nullptr || !grabbed || series.Take(*grabbed).outcome != expected) {
      std::printf("the grab-trim-compare unit failed\n");
      return 1;
    }
    after10 = i == 10 ? bench::ResidentKb() : after10;
  }
  const long after500 = bench::ResidentKb();
  std::printf("%-44s %9ld kB after 10, %ld kB after 500: grew %ld kB   (goal: 2048 or less)\n",
              "grab-trim-compare unit, resident memory", after10, after500, after500 - after10);
  return 0;
}
