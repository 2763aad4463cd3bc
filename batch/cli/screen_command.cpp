#include "batch/cli/screen_command.h"

#include "batch/cli/problem_words.h"
#include "capture/screen/desktop_notifier.h"
#include "core/screen_runner.h"
#include "settings/view_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
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
  // At an interval, one screen cast serves every grab where the desktop
  // offers it; the token of the sharing the user allowed is kept beside the frame.
  const std::unique_ptr<ScreenSource> source =
      options.every > 0 ? OpenIntervalSource(ReadScreenCastToken(options.settings)) : OpenScreenSource();
  source->setUnattended(true); // no window of the program's is in front
  QObject::connect(source.get(), &ScreenSource::sessionToken,
                   [&](const QString &token) { WriteScreenCastToken(token, options.settings); });
  QObject::connect(source.get(), &ScreenSource::noted, [](const Problem &problem) { Say(Words(problem)); });
  ScreenRunner runner(*source, {frame, target, !options.all, options.every * 1000, options.count});
  bool failed = false;
  bool cancelled = false;
  QString lastProblem; // the last thing that went wrong, for the desktop
  QObject::connect(&runner, &ScreenRunner::stepped, [&](const ScreenStep &step) {
    switch (step.outcome) {
    case ScreenStep::Outcome::Saved:
      std::printf("%s\n", qPrintable(Printable(QDir::toNativeSeparators(step.path))));
      std::fflush(stdout);
      if (options.every == 0) {
        TellDesktop(QStringLiteral("画面トリム：%1").arg(QFileInfo(step.path).fileName()));
      }
      break;
    case ScreenStep::Outcome::Unchanged:
      break;
    case ScreenStep::Outcome::Failed:
      // A failed grab goes on: the next one may find the desktop again.
      lastProblem = Words(*step.problem);
      Say(lastProblem);
      failed = true;
      break;
    case ScreenStep::Outcome::Cancelled:
      cancelled = true;
      break;
    }
  });
  QObject::connect(&runner, &ScreenRunner::finished, [] { QCoreApplication::exit(); });
  // Ctrl+C or SIGTERM: no further grab. A picture being saved is saved
  // whole first (the save runs before the signal is seen); a wait for the
  // desktop's answer ends at once, with 128 and the signal's number.
  int wake[2] = {-1, -1};
  int signalNumber = 0;
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
      signalNumber = number;
      runner.Stop();
    });
  }
  runner.Start();
  if (runner.running()) {
    QCoreApplication::exec();
  }
  if (cancelled) {
    Say(Words(MakeProblem(ProblemKind::Interrupted)));
    return 128 + signalNumber;
  }
  if (options.every > 0) {
    TellDesktop(QStringLiteral("定期トリム：%1 枚保存").arg(runner.saved()), lastProblem);
  } else if (failed) {
    TellDesktop(QStringLiteral("画面トリム：保存できませんでした"), lastProblem);
  }
  return failed ? kSomeFailed : kAllSaved;
}

} // namespace orvelle
