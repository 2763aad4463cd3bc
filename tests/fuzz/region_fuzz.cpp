// libFuzzer target for the batch's region reader: any bytes as an image file
// (PNG, JPEG, BMP and whatever else Qt reads, through the entry the batch
// uses); no input may crash it, read out of bounds or hold more than the budget
// allows, and whatever it accepts has the area it was asked for.
#include "batch/region_reader.h"

#include <QFile>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const QString path = QStringLiteral("/tmp/region_fuzz_%1.img").arg(getpid());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
    return 0;
  }
  file.close();
  const auto read = orvelle::ReadRegion(
      path, [](QSize) { return QRect(3, 2, 17, 11); }, qint64(64) << 20);
  if (const auto *region = std::get_if<orvelle::Region>(&read)) {
    const QRect expected = QRect(3, 2, 17, 11) & QRect(QPoint(0, 0), region->imageSize);
    if (region->area != expected || (!expected.isEmpty() && region->pixels.size() != expected.size())) {
      __builtin_trap();
    }
  }
  return 0;
}
