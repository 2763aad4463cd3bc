#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes. Those that are UTF-8 become their characters; every
// byte that is not part of a valid UTF-8 character becomes a code point of
// its own (U+DC80 to U+DCFF, which no valid text holds), so that a name read
// from the command line reaches open() and the names made from it as the
// same bytes, whatever they are.

namespace orvelle {

QString DecodeFileName(QByteArrayView bytes);
QByteArray EncodeFileName(const QString &name);
// Whether the character stands for a byte that is not UTF-8, and that byte.
inline bool IsStrayByte(QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; }
inline unsigned char StrayByte(QChar c) { return static_cast<unsigned char>(c.unicode() & 0xFF); }

} // namespace orvelle
