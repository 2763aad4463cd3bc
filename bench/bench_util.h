#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace orvelle::bench {

// This process's resident memory in kB.
inline long ResidentKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  status.open(QIODevice::ReadOnly);
  for (const QByteArray &line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').front().toLong();
    }
  }
  return -1;
}

// The median of the runs' times in milliseconds.
inline double MedianMs(int runs, const std::function<void()> &work) {
  std::vector<double> times;
  times.reserve(runs);
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    work();
    times.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// One line of the report: what, its time, the reference's time, the ratio and the goal.
inline void Report(const char *what, double ms, const char *reference, double referenceMs, const char *goal) {
  std::printf("%-44s %9.3f ms   %-34s %9.3f ms   ratio %6.3f   (goal: %s)\n", what, ms, reference, referenceMs,
              ms / referenceMs, goal);
}

// Runs a program to its end; whether it ended well.
inline bool RunProcess(const QString &program, const QStringList &args) {
  QProcess p;
  p.start(program, args);
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Writes a trim.ini whose frame is the benchmarks' 1600 x 900 at (200, 150);
// whether it was written.
inline bool WriteBenchFrame(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write("[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=1600\nPicHeight=900\nNewPicStartX=0\n"
                    "NewPicStartY=0\nNewPicWidth=1600\nNewPicHeight=900\nPicRatio=0\n") > 0;
}

} // namespace orvelle::bench
