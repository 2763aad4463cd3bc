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
Expected<QImage> PictureOf(const QMimeData &data) {
  for (const QString &format : data.formats()) {
    if (!format.startsWith(QLatin1String("image/"))) {
      continue;
    }
    QByteArray bytes = data.data(format); // the owner is asked once
    // A PNG's chunks are walked before its decoder allocates what they say.
    if (bytes.startsWith("\x89PNG")) {
      if (Expected<void> whole = CheckPngBytes(bytes); !whole) {
        return MakeProblem(ProblemKind::ClipboardUnreadable, {}, whole.problem());
      }
    }
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    if (!reader.canRead()) {
      continue;
    }
    const QSize size = reader.size();
    if (PictureBytes(size.width(), size.height()) > kMaxClipboardPictureBytes) {
      return MakeProblem(ProblemKind::ClipboardTooLarge, {QString::number(size.width()), QString::number(size.height()),
                                                          QString::number(kMaxClipboardPictureBytes >> 20),
                                                          QString::number(kMaxClipboardPictureBytes / 4 / 10000)});
    }
    const QImage image = reader.read();
    if (image.isNull()) {
      return MakeProblem(ProblemKind::ClipboardUnreadable, {reader.errorString()});
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

Expected<QImage> ClipboardPicture(const QMimeData *data) {
  Expected<QImage> picture = data != nullptr ? PictureOf(*data) : Expected<QImage>(QImage());
  if (picture && !picture->isNull()) {
    // Screenshots often come with an alpha channel of 0, whose colours are
    // still the screen's.
    picture.value() = OpaquePicture(*picture);
  }
  return picture;
}

} // namespace orvelle
