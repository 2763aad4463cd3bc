#include "common/file_names.h"

namespace orvelle {

namespace {
// The length of the valid UTF-8 character that starts here; 0 when none does.
qsizetype Utf8Length(QByteArrayView bytes, qsizetype at) {
  const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    return 1;
  }
  const qsizetype length = lead >= 0xC2 && lead <= 0xDF   ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
  if (length == 0 || at + length > bytes.size()) {
    return 0;
  }
  for (qsizetype i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return 0;
    }
  }
  // No overlong forms, no surrogates, nothing past U+10FFFF.
  const unsigned char second = byte(at + 1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return length;
}
} // namespace

QString DecodeFileName(QByteArrayView bytes) {
  QString name;
  name.reserve(bytes.size());
  for (qsizetype at = 0; at < bytes.size();) {
    const qsizetype length = Utf8Length(bytes, at);
    if (length == 0) {
      name += QChar(char16_t(0xDC00 | static_cast<unsigned char>(bytes[at])));
      ++at;
      continue;
    }
    name += QString::fromUtf8(bytes.sliced(at, length));
    at += length;
  }
  return name;
}

QByteArray EncodeFileName(const QString &name) {
  QByteArray bytes;
  bytes.reserve(name.size());
  qsizetype from = 0; // the start of the run of ordinary characters
  for (qsizetype i = 0; i <= name.size(); ++i) {
    if (i == name.size() || IsStrayByte(name[i])) {
      bytes += QStringView(name).sliced(from, i - from).toUtf8();
      if (i < name.size()) {
        bytes += char(StrayByte(name[i]));
      }
      from = i + 1;
    }
  }
  return bytes;
}

} // namespace orvelle
