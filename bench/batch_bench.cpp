// Trimming 24 screenshot-like 3840 x 2160 PNG and JPEG files to a 1600 x 900
// frame at quality 80: orvelle-trim beside ImageMagick's mogrify, the same
// batch saved as PNG beside it saved as JPEG, and beside
// libvips on the same files, measured in this run: resident (one libvips
// process per core, each with its share of the files, the same chroma
// subsampling as SaveJPG) and per file (vips crop, one process a file, as many
// at once as there are cores). Besides the time, the peak resident memory of
// orvelle-trim against the sum of the resident reference processes' peaks.

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstring>
#include <functional>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
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

// Starts a program and waits for it; its exit status, and its peak resident
// memory in kB in `peakKb`.
int SpawnAndWait(char **argv, long *peakKb) {
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
    return 127;
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) {
    return 127;
  }
  *peakKb = usage.ru_maxrss;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// batch_bench --peak FILE PROGRAM ARG...: runs the program and writes its
// peak resident memory to FILE. A process's peak counts that of the process
// it was started from (the kernel keeps the larger of the two on exec), so
// each measured program is started from this small one, not from the
// benchmark holding its pictures.
int PeakOf(int argc, char **argv) {
  long peakKb = 0;
  const int status = argc > 3 ? SpawnAndWait(argv + 3, &peakKb) : 127;
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray::number(qlonglong(peakKb))) <= 0) {
    return 127;
  }
  return status;
}

// Processes started together and waited for: the wall time, and the sum of
// their peak resident memories in kB.
struct Together {
  double ms = 0;
  long peakKb = 0;
  bool ok = true;
};
Together RunTogether(const std::vector<QStringList> &commands) {
  QTemporaryDir peaks;
  QElapsedTimer timer;
  timer.start();
  Together run;
  std::vector<pid_t> started;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    std::vector<QByteArray> bytes = {QFile::encodeName(QCoreApplication::applicationFilePath()), "--peak",
                                     QFile::encodeName(peaks.filePath(QString::number(i)))};
    for (const QString &arg : commands[i]) {
      bytes.push_back(QFile::encodeName(arg));
    }
    std::vector<char *> argv;
    for (QByteArray &arg : bytes) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
      started.push_back(pid);
    } else {
      run.ok = false;
    }
  }
  for (const pid_t pid : started) {
    int status = 0;
    run.ok &= waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  run.ms = timer.nsecsElapsed() / 1e6;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    QFile peak(peaks.filePath(QString::number(i)));
    run.ok &= peak.open(QIODevice::ReadOnly);
    run.peakKb += peak.readAll().toLong();
  }
  return run;
}

// The median run of three by time.
Together Median(const std::function<Together()> &work) {
  std::vector<Together> runs = {work(), work(), work()};
  std::sort(runs.begin(), runs.end(), [](const Together &a, const Together &b) { return a.ms < b.ms; });
  runs[1].ok = runs[0].ok && runs[1].ok && runs[2].ok;
  return runs[1];
}

// The resident reference's commands: one a core, the files dealt out in turn.
std::vector<QStringList> ResidentVips(const QString &program, const QStringList &files, const QDir &out) {
  const int cores = QThread::idealThreadCount();
  std::vector<QStringList> commands(std::size_t(std::min<int>(cores, int(files.size()))),
                                    QStringList{program, QStringLiteral("80"), out.path(), QStringLiteral("200"),
                                                QStringLiteral("150"), QStringLiteral("1600"), QStringLiteral("900")});
  for (int i = 0; i < files.size(); ++i) {
    commands[std::size_t(i % cores)] << files[i];
  }
  return commands;
}

} // namespace

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "--peak") == 0) {
    return PeakOf(argc, argv);
  }
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
  const QString ini = root.filePath(QStringLiteral("trim.ini"));
  if (!orvelle::bench::WriteBenchFrame(ini)) {
    return 1;
  }
  root.mkdir(QStringLiteral("orvelle"));
  root.mkdir(QStringLiteral("mogrify"));
  root.mkdir(QStringLiteral("vips"));

  const QString trim = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  bool ok = true;
  const auto orvelleTrim = [&](const QStringList &images, const char *format = "jpeg") {
    return orvelle::bench::MedianMs(3, [&] {
      ok &= orvelle::bench::RunProcess(
          trim,
          QStringList{QStringLiteral("--settings"), ini, QStringLiteral("--quality"), QStringLiteral("80"),
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
  const QDir vipsOut(root.filePath(QStringLiteral("vips")));
  const double orvelleJpeg = orvelleTrim(jpegs);
  const QString resident = QCoreApplication::applicationDirPath() + QStringLiteral("/vips_reference");
  if (!QFileInfo(resident).isExecutable()) {
    std::printf("  the resident libvips reference was not built (libvips-dev missing): its figures are left out\n");
  } else {
    for (const auto &[kind, images] : {std::pair{"PNG", files}, std::pair{"JPEG", jpegs}}) {
      const QStringList command = QStringList{trim,
                                              QStringLiteral("--settings"),
                                              ini,
                                              QStringLiteral("--quality"),
                                              QStringLiteral("80"),
                                              QStringLiteral("--overwrite"),
                                              QStringLiteral("--output"),
                                              root.filePath(QStringLiteral("orvelle")),
                                              QStringLiteral("--")} +
                                  images;
      const Together ours = Median([&] { return RunTogether({command}); });
      const Together theirs = Median([&] { return RunTogether(ResidentVips(resident, images, vipsOut)); });
      ok &= ours.ok && theirs.ok;
      const QByteArray what = QByteArray("orvelle-trim, ") + kind;
      orvelle::bench::Report(what.constData(), ours.ms, "libvips resident, a process a core", theirs.ms,
                             std::strcmp(kind, "PNG") == 0 ? "0.75 or less" : "0.5 or less");
      std::printf("%-44s %9ld kB   %-34s %9ld kB   ratio %6.3f   (goal: 0.5 or less)\n",
                  (what + ", peak memory").constData(), ours.peakKb, "the reference processes' peaks, summed",
                  theirs.peakKb, double(ours.peakKb) / double(theirs.peakKb));
    }
  }
  if (QStandardPaths::findExecutable(QStringLiteral("vips")).isEmpty()) {
    std::printf("  vips not installed (libvips-tools): the per-file figures are left out\n");
  } else {
    const double vipsPng = orvelle::bench::MedianMs(3, [&] { ok &= VipsAll(files, vipsOut); });
    orvelle::bench::Report("orvelle-trim, PNG", orvelle, "vips crop, one process a file", vipsPng, "(for scale)");
    const double vipsJpeg = orvelle::bench::MedianMs(3, [&] { ok &= VipsAll(jpegs, vipsOut); });
    orvelle::bench::Report("orvelle-trim, JPEG", orvelleJpeg, "vips crop, one process a file", vipsJpeg, "(for scale)");
  }
  if (!ok) {
    std::printf("  (a run failed: the times are not comparable)\n");
  }
  return ok ? 0 : 1;
}
