#include "export/numbered_name.h"

#include <QDir>
#include <QRegularExpression>

namespace orvelle {

QString NextNumberedName(const QString &folder, const QString &base) {
  const QRegularExpression numbered(QStringLiteral("^%1-(\\d{3,})\\.jpg$").arg(QRegularExpression::escape(base)));
  qulonglong last = 0;
  for (const QString &name : QDir(folder).entryList(QDir::Files)) {
    if (const QRegularExpressionMatch match = numbered.match(name); match.hasMatch()) {
      last = qMax(last, match.captured(1).toULongLong());
    }
  }
  return QStringLiteral("%1-%2").arg(base).arg(last + 1, 3, 10, QLatin1Char('0'));
}

} // namespace orvelle
