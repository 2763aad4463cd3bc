#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace orvelle {

// How many pictures a batch works on at once: one a core, but no more than
// the memory there is holds, at the budget each may take; at least one.
int BatchWorkers(int cores, std::optional<qint64> availableBytes, qint64 budgetPerWorker);

// The memory the system can give without swapping: MemAvailable of
// /proc/meminfo, or what the process's cgroup still allows (memory.max less
// memory.current, under /sys/fs/cgroup) where that is less. Nothing when
// neither can be read. The files are given for the tests.
std::optional<qint64> AvailableMemory(const QString &meminfo = QStringLiteral("/proc/meminfo"),
                                      const QString &cgroup = QStringLiteral("/sys/fs/cgroup"));

} // namespace orvelle
