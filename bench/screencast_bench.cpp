// The interval on a Wayland screen cast, under a headless sway of 3840 x 2160
// with the desktop portal, PipeWire and WirePlumber (scripts/bench.sh): the
// interval at 1 s on the unchanged screen (orvelle-trim --every 1, its share
// of one core); 500 ticks driven back to back through the runner over one
// cast (resident memory); one grab of a changed screen through the cast
// beside one through the Screenshot portal, both measured in this run.
//   screencast_bench [ORVELLE-TRIM]   (default: the one beside it)

#include "bench/bench_util.h"
#include "bench/desktop_window.h"
#include "capture/screen/screen_cast_source.h"
#include "capture/screen/screen_grab.h"
#include "core/screen_runner.h"
#include "export/jpeg_library.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <sys/resource.h>

using namespace orvelle;

namespace {
double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until `done` holds or the seconds pass; whether it held.
bool Await(const std::function<bool()> &done, int seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < seconds * 1000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return done();
}

// One grab through the source, answered or failed; its time in ms, or -1.
double GrabMs(ScreenSource &source, bool awaitRedraw) {
  bool answered = false;
  const auto grabbed = QObject::connect(&source, &ScreenSource::grabbed, [&] { answered = true; });
  QElapsedTimer clock;
  clock.start();
  if (awaitRedraw) {
    source.AwaitRedraw();
  }
  source.Start([](QSize) { return QRect(200, 150, 1600, 900); });
  const bool ok = Await([&] { return answered; }, 30);
  QObject::disconnect(grabbed);
  return ok ? double(clock.nsecsElapsed()) / 1e6 : -1;
}
} // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  const QSize size(3840, 2160);
  bench::Desktop desktop(size);
  desktop.showFullScreen();
  Await([] { return false; }, 2);
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("trim.ini"));
  if (!bench::WriteBenchFrame(ini)) {
    return 1;
  }
  const QString trim = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  std::printf("The interval on a screen cast of a %dx%d Wayland output, a 1600x900 frame at 200,150:\n", size.width(),
              size.height());

  // orvelle-trim --every 1 on the unchanged screen: its processor time.
  const int seconds = 20;
  const double before = ChildrenCpuSeconds();
  QProcess every;
  every.start(trim, {QStringLiteral("--screen"), QStringLiteral("--every"), QStringLiteral("1"),
                     QStringLiteral("--settings"), ini, QStringLiteral("--output"), dir.path()});
  every.waitForStarted();
  Await([] { return false; }, 3); // the session set up and the first file saved
  QElapsedTimer clock;
  clock.start();
  QThread::sleep(seconds);
  every.terminate();
  every.waitForFinished();
  const double percent = 100.0 * (ChildrenCpuSeconds() - before) / (double(clock.elapsed()) / 1000.0 + 3.0);
  std::printf("%-46s %9.2f %% of one core   (goal: 1 or less)\n", "interval at 1 s, unchanged screen, CPU", percent);

  // 500 ticks back to back through the runner over one cast, after 50 that
  // set it up (the session, the stream's first picture, its buffers mapped).
  ScreenCastSource cast(QString{});
  cast.setUnattended(true);
  const auto resolved = ResolveSavePixelstoJPEG(JpegLibraryPath(QCoreApplication::applicationDirPath()));
  ScreenPlan plan;
  plan.frame = {{200, 150, 1600, 900}, {0, 0, 1600, 900}};
  plan.target = {dir.path(), QStringLiteral("memory"), 80, resolved ? *resolved : nullptr, PictureFormat::Jpeg};
  plan.everyMs = 1;
  ScreenRunner runner(cast, plan);
  int ticks = 0;
  long warm = 0;
  QObject::connect(&runner, &ScreenRunner::stepped, [&](const ScreenStep &step) {
    if (step.outcome == ScreenStep::Outcome::Failed) {
      std::printf("a tick failed\n");
    }
    warm = ++ticks == 50 ? bench::ResidentKb() : warm;
    if (ticks == 2) {
      desktop.update(); // the stream's first picture comes with a change
    }
    if (ticks == 550) {
      runner.Stop();
    }
  });
  runner.Start();
  if (!Await([&] { return ticks >= 550; }, 120)) {
    std::printf("the runner made %d ticks\n", ticks);
    return 1;
  }
  const long after = bench::ResidentKb();
  std::printf("%-46s %9ld kB before, %ld kB after: grew %ld kB   (goal: 2048 or less)\n",
              "500 ticks through the runner, resident memory", warm, after, after - warm);

  // A changed screen: through the cast (the first picture drawn after the
  // change) beside the Screenshot portal.
  std::vector<double> throughCast, throughScreenshot;
  ScreenGrab screenshot;
  screenshot.setUnattended(true);
  for (int i = 0; i < 5; ++i) {
    desktop.update();
    throughCast.push_back(GrabMs(cast, true));
    desktop.update();
    Await([] { return false; }, 1);
    throughScreenshot.push_back(GrabMs(screenshot, false));
  }
  std::sort(throughCast.begin(), throughCast.end());
  std::sort(throughScreenshot.begin(), throughScreenshot.end());
  if (throughCast.front() < 0 || throughScreenshot.front() < 0) {
    std::printf("a grab failed\n");
    return 1;
  }
  bench::Report("a grab of a changed screen, screen cast", throughCast[2], "the Screenshot portal",
                throughScreenshot[2], "0.3 or less");
  return 0;
}
