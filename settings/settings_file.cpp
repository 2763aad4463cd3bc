#include "settings/settings_file.h"

#include "common/regular_file.h"
#include "common/replace_file.h"
#include "common/text_encoding.h"
#include "settings/profile.h"

#include <QFile>
#include <QFileInfo>

namespace orvelle {

namespace {
// The Windows profile functions hand values back through a 255-byte buffer.
constexpr qsizetype kMaxValueBytes = 254;
// Editors may begin a UTF-8 file with a byte-order mark: no part of its first line.
const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

std::optional<QByteArray> ReadAll(const QString &path) {
  Expected<QByteArray> content = ReadSettingsFile(path);
  if (content) {
    return std::move(content).value();
  }
  return std::nullopt;
}
} // namespace

QString SettingsFilePath(const QString &folder) { return folder + QLatin1Char('/') + kSettingsFileName; }

Expected<QByteArray> ReadSettingsFile(const QString &path) { return ReadSmallFile(path, kMaxSettingsFileBytes); }

QString ReadSetting(const QString &key, const QString &section, const QString &path) {
  const auto content = ReadAll(path);
  return content ? LookupSetting(*content, key, section) : kMissingSetting;
}

QString LookupSetting(const QByteArray &bytes, const QString &key, const QString &section) {
  const QByteArray content = bytes.startsWith(kByteOrderMark) ? bytes.mid(kByteOrderMark.size()) : bytes;
  const TextEncoding encoding = DetectEncoding(content);
  const auto value = profile::Lookup(content, EncodeText(section, encoding), EncodeText(key, encoding));
  if (!value) {
    return kMissingSetting;
  }
  return DecodeText(CutAtCharacter(*value, kMaxValueBytes, encoding), encoding);
}

bool WriteSetting(const QString &value, const QString &key, const QString &section, const QString &path) {
  return WriteSettings({{key, value}}, section, path);
}

bool WriteSettings(const QList<std::pair<QString, QString>> &values, const QString &section, const QString &path) {
  QByteArray old;
  if (QFileInfo::exists(path)) {
    const auto content = ReadAll(path);
    if (!content) {
      return false;
    }
    old = *content;
  }
  const TextEncoding encoding = old.isEmpty() ? TextEncoding::Locale : DetectEncoding(old);
  // A text the file's character set cannot hold would be stored as another
  // text (a folder name with "?" in it): refuse it instead.
  bool representable = true;
  const auto encode = [encoding, &representable](const QString &text) {
    QByteArray bytes = EncodeText(text, encoding);
    representable = representable && DecodeText(bytes, encoding) == text;
    return bytes;
  };
  QList<profile::Entry> entries;
  entries.reserve(values.size());
  for (const auto &[key, value] : values) {
    entries.push_back({encode(key), encode(value)});
  }
  const QByteArray encodedSection = encode(section);
  if (!representable) {
    return false;
  }
  if (!profile::CanStore(encodedSection, entries)) {
    return false;
  }
  const bool marked = old.startsWith(kByteOrderMark);
  const QByteArray updated = (marked ? kByteOrderMark : QByteArray()) +
                             profile::Update(marked ? old.mid(kByteOrderMark.size()) : old, encodedSection, entries);
  return ReplaceFile(path, {QByteArrayView(updated)});
}

} // namespace orvelle
