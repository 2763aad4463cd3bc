#include "common/text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace orvelle {

namespace {
constexpr const char *kCp932 = "windows-31j";

bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc); }
} // namespace

TextEncoding DetectEncoding(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
  const QString decoded = decoder.decode(bytes);
  return decoder.hasError() ? TextEncoding::Cp932 : TextEncoding::Locale;
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Cp932) {
    QStringDecoder decoder(kCp932);
    return decoder.decode(bytes);
  }
  QStringDecoder decoder(QStringDecoder::System);
  return decoder.decode(bytes);
}

QByteArray EncodeText(QStringView text, TextEncoding encoding) {
  if (encoding == TextEncoding::Cp932) {
    QStringEncoder encoder(kCp932);
    return encoder.encode(text);
  }
  QStringEncoder encoder(QStringEncoder::System);
  return encoder.encode(text);
}

QByteArrayView CutAtCharacter(QByteArrayView bytes, qsizetype maxBytes, TextEncoding encoding) {
  if (bytes.size() <= maxBytes) {
    return bytes;
  }
  qsizetype end = 0;
  if (encoding == TextEncoding::Cp932) {
    // Walk character by character: a lead byte takes the next byte with it.
    qsizetype i = 0;
    while (i < bytes.size()) {
      const qsizetype width = IsCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
      if (i + width > maxBytes) {
        break;
      }
      i += width;
    }
    end = i;
  } else {
    // UTF-8: step back over continuation bytes to the start of a character.
    end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xc0) == 0x80) {
      --end;
    }
  }
  return bytes.first(end);
}

} // namespace orvelle
