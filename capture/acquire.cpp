#include "capture/acquire.h"

#include "capture/picture_box.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

namespace orvelle {

void AcquireScreenImage(PictureBox &canvas, QSize areaPixels, const QClipboard &clipboard) {
  canvas.setPixelSize(areaPixels);
  canvas.clearPicture();
  canvas.setAutoSize(true);
  // The owner of the clipboard is asked for the image once per capture.
  const QMimeData *data = clipboard.mimeData();
  if (data != nullptr && data->hasImage()) {
    canvas.setPicture(qvariant_cast<QImage>(data->imageData()));
  }
}

} // namespace orvelle
