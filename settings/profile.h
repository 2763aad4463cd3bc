#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>
#include <utility>

// The profile-string rules that trim.ini follows, over the file's bytes:
// - a section starts with a line "[name]"; a value is "key=value" inside it;
// - section and key names match without regard to ASCII letter case;
// - blanks around names and values are dropped, and on reading one pair of
//   enclosing quotation marks (" or ') too; a line without "=" holds no key;
// - an update replaces a key's line in place, appends a missing key after the
//   last line of its section and a missing section at the end of the file, and
//   keeps every other byte, line endings included.

namespace orvelle::profile {

using Entry = std::pair<QByteArray, QByteArray>; // key, value

// The raw value bytes of the key, or nothing when the section or key is absent.
std::optional<QByteArray> Lookup(QByteArrayView content, QByteArrayView section, QByteArrayView key);

// True when a name or value can be stored without changing the file's lines
// (no line breaks; names without "=", "[" or "]" and not blank).
bool CanStore(QByteArrayView section, const QList<Entry> &entries);

// The content with every entry set in the section, in the entries' order.
QByteArray Update(QByteArrayView content, QByteArrayView section, const QList<Entry> &entries);

} // namespace orvelle::profile
