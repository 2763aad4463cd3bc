#pragma once

#include <QString>

namespace orvelle {

// The kind of file every picture is saved as: JPEG through the JPEG library
// (the default), or PNG, lossless, written by the program itself.
enum class PictureFormat { Jpeg, Png };

// ".jpg" or ".png".
inline QString Suffix(PictureFormat format) {
  return format == PictureFormat::Png ? QStringLiteral(".png") : QStringLiteral(".jpg");
}

} // namespace orvelle
