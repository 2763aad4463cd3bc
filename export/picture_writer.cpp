#include "export/picture_writer.h"

#include "common/file_names.h"
#include "export/png_file.h"

namespace orvelle {

int WritePicture(const QImage &pixels, const QString &path, PictureFormat format, SavePixelstoJPEGFunction jpeg,
                 int quality) {
  if (format == PictureFormat::Png) {
    return SavePng(pixels, path);
  }
  return jpeg(pixels.constBits(), pixels.width(), pixels.height(), int(pixels.bytesPerLine()),
              EncodeFileName(path).constData(), static_cast<uint8_t>(quality), -1);
}

} // namespace orvelle
