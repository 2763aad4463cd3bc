#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text files of the program (trim.ini) are in the locale's character set. A file
// that is not valid in it was most likely written on Japanese Windows and is
// read as CP932 (Shift-JIS); such a file is also written back in CP932 so that
// it stays readable on both sides.

namespace orvelle {

enum class TextEncoding { Locale, Cp932 };

// The encoding that reads these bytes without error.
TextEncoding DetectEncoding(QByteArrayView bytes);

QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// Characters that the encoding cannot hold become its replacement character.
QByteArray EncodeText(QStringView text, TextEncoding encoding);

// The longest prefix of at most maxBytes bytes that does not end inside a
// multi-byte character.
QByteArrayView CutAtCharacter(QByteArrayView bytes, qsizetype maxBytes, TextEncoding encoding);

} // namespace orvelle
