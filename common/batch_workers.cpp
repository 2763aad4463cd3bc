#include "common/batch_workers.h"

#include "common/regular_file.h"

#include <QList>
#include <algorithm>

namespace orvelle {

namespace {
// A small text file's contents; empty when it cannot be read.
QByteArray Text(const QString &path) {
  const Expected<QByteArray> read = ReadSmallFile(path, 1 << 20);
  return read ? *read : QByteArray();
}

std::optional<qint64> Number(const QByteArray &text) {
  bool ok = false;
  const qint64 value = text.trimmed().toLongLong(&ok);
  return ok ? std::optional<qint64>(value) : std::nullopt;
}
} // namespace

int BatchWorkers(int cores, std::optional<qint64> availableBytes, qint64 budgetPerWorker) {
  const int byCores = std::max(1, cores);
  if (!availableBytes || budgetPerWorker <= 0) {
    return byCores;
  }
  const qint64 byMemory = *availableBytes / budgetPerWorker;
  return int(std::clamp<qint64>(byMemory, 1, byCores));
}

std::optional<qint64> AvailableMemory(const QString &meminfo, const QString &cgroup) {
  std::optional<qint64> available;
  for (const QByteArray &line : Text(meminfo).split('\n')) {
    if (line.startsWith("MemAvailable:")) {
      if (const auto kb = Number(line.mid(13).replace("kB", ""))) {
        available = *kb * 1024;
      }
    }
  }
  // "max" is no limit; a number is one.
  const auto limit = Number(Text(cgroup + QStringLiteral("/memory.max")));
  const auto used = Number(Text(cgroup + QStringLiteral("/memory.current")));
  if (limit && used) {
    const qint64 left = std::max<qint64>(0, *limit - *used);
    available = available ? std::min(*available, left) : left;
  }
  return available;
}

} // namespace orvelle
