#include "export/numbered_name.h"

#include <QDir>
#include <QRegularExpression>
#include <limits>

namespace orvelle {

qulonglong NextNumber(const QString &folder, const QString &base) {
  const QRegularExpression numbered(QLatin1Char('^') + QRegularExpression::escape(base) +
                                    QStringLiteral("-(\\d{3,})\\.(jpg|png)$"));
  qulonglong last = 0;
  const QDir::Filters every = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
  for (const QString &name : QDir(folder).entryList(every, QDir::Unsorted)) {
    if (const QRegularExpressionMatch match = numbered.match(name); match.hasMatch()) {
      bool counted = false;
      const qulonglong number = match.captured(1).toULongLong(&counted);
      const qulonglong most = std::numeric_limits<qulonglong>::max() - 1; // never wraps round to 0
      last = qMax(last, counted ? qMin(number, most) : most);
    }
  }
  return last + 1;
}

QString NumberedName(const QString &base, qulonglong number) {
  // The user's name is never taken for a format: "%1" in it stays as it is.
  return base + QStringLiteral("-%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace orvelle
