#include "sysinfo/os_name.h"

#include <limits>

namespace orvelle {

long long OsVersionCode(const OsVersionRecord &record) {
  const QString digits = QString::number(record.platformId) +
                         QStringLiteral("%1").arg(record.major, 2, 10, QLatin1Char('0')) +
                         QStringLiteral("%1").arg(record.minor, 4, 10, QLatin1Char('0'));
  bool ok = false;
  const long long code = digits.toLongLong(&ok);
  // Digits beyond a 64-bit number only come from absurd versions; they sort
  // above every code of the table.
  return ok ? code : std::numeric_limits<long long>::max();
}

QString GetOsName(const std::optional<OsVersionRecord> &record) {
  if (!record) {
    return QString();
  }
  const long long code = OsVersionCode(*record);
  if (code < 1040000) {
    return QStringLiteral("Windows 3.1");
  }
  switch (code) {
  case 1040000:
    return QStringLiteral("Windows 95");
  case 1040010:
    return QStringLiteral("Windows 98");
  case 1040090:
    return QStringLiteral("Windows Me");
  case 2030051:
    return QStringLiteral("Windows NT 3.51");
  case 2040000:
    return QStringLiteral("Windows NT 4.0");
  case 2050000:
    return QStringLiteral("Windows 2000");
  case 2050001:
    return QStringLiteral("Windows XP");
  case 2050002:
    return QStringLiteral("Windows Server 2003");
  default:
    break;
  }
  if (code > 2050002) {
    return QStringLiteral("Windows Vista or Later");
  }
  if (code > 1040090) {
    return QStringLiteral("Windows Me Later");
  }
  return QStringLiteral("Windows Unknown");
}

} // namespace orvelle
