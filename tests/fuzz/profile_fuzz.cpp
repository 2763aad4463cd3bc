// libFuzzer target for the profile-string reader and updater: any bytes as
// the file, the first line of the input naming the section and the key.
#include "common/text_encoding.h"
#include "settings/profile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const qsizetype nl = input.indexOf('\n');
  const QByteArrayView names = nl < 0 ? input : input.first(nl);
  const QByteArrayView file = nl < 0 ? QByteArrayView() : input.sliced(nl + 1);
  const qsizetype split = names.indexOf('/');
  const QByteArrayView section = split < 0 ? names : names.first(split);
  const QByteArrayView key = split < 0 ? QByteArrayView("K") : names.sliced(split + 1);

  for (const auto encoding : {orvelle::TextEncoding::Locale, orvelle::TextEncoding::Cp932}) {
    if (const auto value = orvelle::profile::Lookup(file, section, key)) {
      const QByteArrayView cut = orvelle::CutAtCharacter(*value, 254, encoding);
      if (cut.size() > 254 || cut.size() > value->size()) {
        __builtin_trap();
      }
      (void)orvelle::DecodeText(cut, encoding);
    }
  }
  const QList<orvelle::profile::Entry> entries = {{key.toByteArray(), QByteArray("value")}};
  if (orvelle::profile::CanStore(section, entries)) {
    const QByteArray updated = orvelle::profile::Update(file, section, entries);
    // What was written reads back.
    const auto back = orvelle::profile::Lookup(updated, section, key);
    if (!back || *back != "value") {
      __builtin_trap();
    }
  }
  return 0;
}
