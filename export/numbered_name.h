#pragma once

#include <QString>

namespace orvelle {

// The number that comes next in a numbered series in the folder: one past
// the highest that an entry base-NNN.jpg or base-NNN.png of any kind (a file,
// a link, a pipe) already has there, so that a number is never taken twice,
// whatever the format; 1 when there is none. A number too large to count
// gives one past any a series may have.
qulonglong NextNumber(const QString &folder, const QString &base);

// base + "-" + the number, of at least three digits (shot-001, shot-1000).
QString NumberedName(const QString &base, qulonglong number);

} // namespace orvelle
