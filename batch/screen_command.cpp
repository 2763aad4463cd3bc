#include "batch/screen_command.h"

#include "capture/screen/desktop_notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace orvelle {

namespace {
// The signal handler's end of a pipe whose other end wakes the event loop.
int g_wake = -1;
} // namespace

bool RunsUnattended() { return isatty(STDOUT_FILENO) == 0 && isatty(STDERR_FILENO) == 0; }

void TellDesktop(const QString &summary, const QString &body) {
  if (RunsUnattended()) {
    static DesktopNotifier notifier;
    notifier.NotifyAndWait(summary, body);
  }
}

int RunScreenCommand(const BatchFrame &frame, const NumberedTarget &target, const TrimOptions &options) {
  ScreenSeries series(frame, target, !options.all);
  ScreenGrab grab;
  grab.setUnattended(true); // no window of the program's is in front
  QTimer next;
  next.setSingleShot(true);
  bool failed = false;
  bool stopping = false; // a signal came: the grab under way is the last
  bool grabbing = false;
  const auto ended = [&] {
    return options.every == 0 || stopping || (options.count > 0 && series.saved() >= options.count);
  };
  const auto start = [&] {
    grabbing = true;
    grab.Start([&](QSize desktop) { return series.Needed(desktop); });
  };
  const auto done = [&] {
    grabbing = false;
    if (ended()) {
      QCoreApplication::exit();
    } else {
      next.start(options.every * 1000);
    }
  };
  QObject::connect(&next, &QTimer::timeout, start);
  QString lastProblem; // the last thing that went wrong, for the desktop
  QObject::connect(&grab, &ScreenGrab::failed, [&](const QString &message) {
    Say(message);
    lastProblem = message;
    failed = true;
    done();
  });
  QObject::connect(&grab, &ScreenGrab::grabbed, [&](const ScreenPicture &screen) {
    QString said;
    const ScreenSeries::Outcome outcome = series.Take(screen, &said);
    if (outcome == ScreenSeries::Outcome::Saved) {
      std::printf("%s\n", qPrintable(Printable(QDir::toNativeSeparators(said))));
      std::fflush(stdout);
      if (options.every == 0) {
        TellDesktop(QStringLiteral("画面トリム：%1").arg(QFileInfo(said).fileName()));
      }
    } else if (outcome == ScreenSeries::Outcome::Missed) {
      Say(said); // as a failed grab: the next one may find the frame on the desktop
      lastProblem = said;
      failed = true;
    } else if (outcome == ScreenSeries::Outcome::Failed) {
      Say(said);
      lastProblem = said;
      failed = stopping = true;
    }
    done();
  });
  // Ctrl+C or SIGTERM: no further grab. A picture being saved is saved
  // whole first (the save runs before the signal is seen); a wait for the
  // desktop's answer ends at once, with 128 and the signal's number.
  int wake[2] = {-1, -1};
  int interrupted = 0;
  std::unique_ptr<QSocketNotifier> signalled;
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) {
    g_wake = wake[1];
    struct sigaction stop {};
    stop.sa_handler = [](int signal) {
      const char number = static_cast<char>(signal);
      (void)!write(g_wake, &number, 1);
    };
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    signalled = std::make_unique<QSocketNotifier>(wake[0], QSocketNotifier::Read);
    QObject::connect(signalled.get(), &QSocketNotifier::activated, [&] {
      char number = 0;
      (void)!read(wake[0], &number, 1);
      stopping = true;
      next.stop();
      if (grabbing) {
        interrupted = number;
      }
      QCoreApplication::exit();
    });
  }
  start();
  QCoreApplication::exec();
  if (interrupted != 0) {
    Say(QStringLiteral("中断しました。"));
    return 128 + interrupted;
  }
  if (options.every > 0) {
    TellDesktop(QStringLiteral("定期トリム：%1 枚保存").arg(series.saved()), lastProblem);
  } else if (failed) {
    TellDesktop(QStringLiteral("画面トリム：保存できませんでした"), lastProblem);
  }
  return failed ? kSomeFailed : kAllSaved;
}

} // namespace orvelle
