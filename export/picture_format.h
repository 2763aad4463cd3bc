#pragma once

#include <QRandomGenerator>
#include <QString>

namespace orvelle {

// The kind of file every picture is saved as: JPEG through the JPEG library
// (the default), or PNG, lossless, written by the program itself.
enum class PictureFormat { Jpeg, Png };

// ".jpg" or ".png".
inline QString Suffix(PictureFormat format) {
  return format == PictureFormat::Png ? QStringLiteral(".png") : QStringLiteral(".jpg");
}

// A new hidden name in the folder for a picture on its way to its own name
// (".orvelle-" and eight random hex digits, then the suffix).
inline QString HiddenPicturePath(const QString &folder, PictureFormat format) {
  return folder + QStringLiteral("/.orvelle-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')) +
         Suffix(format);
}

} // namespace orvelle
