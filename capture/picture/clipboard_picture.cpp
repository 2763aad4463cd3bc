#include "capture/picture/clipboard_picture.h"

#include "capture/picture/picture_pixels.h"
#include "capture/picture/png_chunks.h"
#include "common/memory_budget.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QRegularExpression>

namespace orvelle {

namespace {

// The clipboard's picture; a null image when it holds none; or why it cannot
// be taken. Another program's picture comes as the bytes of an image file,
// whose declared size is checked before it is decoded, up to 1 GB (Qt's
// limit is set to that at start-up).
std::variant<QImage, QString> PictureOf(const QMimeData &data) {
  for (const QString &format : data.formats()) {
    if (!format.startsWith(QLatin1String("image/"))) {
      continue;
    }
    QByteArray bytes = data.data(format); // the owner is asked once
    // A PNG's chunks are walked before its decoder allocates what they say.
    if (bytes.startsWith("\x89PNG")) {
      if (const QString problem = CheckPngBytes(bytes); !problem.isEmpty()) {
        return QStringLiteral("クリップボードの画像を読み込めませんでした（%1）。").arg(problem);
      }
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
      continue;
    }
    const QSize size = reader.size();
    if (PictureBytes(size.width(), size.height()) > kMaxClipboardPictureBytes) {
      return QStringLiteral("クリップボードの画像が大きすぎるため取り込めません（%1×%2）。\n"
                            "取り込めるのは %3 MB（約 %4 万画素）までの画像です。")
          .arg(size.width())
          .arg(size.height())
          .arg(kMaxClipboardPictureBytes >> 20)
          .arg(kMaxClipboardPictureBytes / 4 / 10000);
    }
    const QImage image = reader.read();
    if (image.isNull()) {
      return QStringLiteral("クリップボードの画像を読み込めませんでした（%1）。").arg(reader.errorString());
    }
    return image;
  }
  // A picture this program put there itself is held as a picture already.
  return data.hasImage() ? qvariant_cast<QImage>(data.imageData()) : QImage();
}

} // namespace

void SetDecoderLimit() { QImageReader::setAllocationLimit(int(kMaxClipboardPictureBytes >> 20)); }

bool HoldsPicture(const QMimeData &data) {
  return data.hasImage() || !data.formats().filter(QRegularExpression(QStringLiteral("^image/"))).isEmpty();
}

std::variant<QImage, QString> ClipboardPicture(const QMimeData *data) {
  auto picture = data != nullptr ? PictureOf(*data) : std::variant<QImage, QString>(QImage());
  if (QImage *image = std::get_if<QImage>(&picture); image != nullptr && !image->isNull()) {
    // Screenshots often come with an alpha channel of 0, whose colours are
    // still the screen's.
    *image = OpaquePicture(*image);
  }
  return picture;
}

} // namespace orvelle
