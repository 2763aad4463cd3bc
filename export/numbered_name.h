#pragma once

#include <QString>

namespace orvelle {

// The base name of the next picture in a numbered series in the folder:
// base + "-" + a running number of at least three digits, one past the highest
// that a file base-NNN.jpg or base-NNN.png already has there (shot-001,
// shot-002, ...), so that a number is never taken twice, whatever the format.
QString NextNumberedName(const QString &folder, const QString &base);

} // namespace orvelle
