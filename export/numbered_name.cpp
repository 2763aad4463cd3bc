#include "export/numbered_name.h"

#include <QDir>
#include <QRegularExpression>

namespace orvelle {

QString NextNumberedName(const QString &folder, const QString &base) {
  const QRegularExpression numbered(QLatin1Char('^') + QRegularExpression::escape(base) +
                                    QStringLiteral("-(\\d{3,})\\.(jpg|png)$"));
  qulonglong last = 0;
  for (const QString &name : QDir(folder).entryList(QDir::Files)) {
    if (const QRegularExpressionMatch match = numbered.match(name); match.hasMatch()) {
      last = qMax(last, match.captured(1).toULongLong());
    }
  }
  // The user's name is never taken for a format: "%1" in it stays as it is.
  return base + QStringLiteral("-%1").arg(last + 1, 3, 10, QLatin1Char('0'));
}

} // namespace orvelle
