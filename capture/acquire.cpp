#include "capture/acquire.h"

#include "capture/canvas_area.h"
#include "capture/picture_box.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

namespace orvelle {

void AcquireScreenImage(PictureBox &canvas, QSize clientPixels, const QClipboard &clipboard) {
  canvas.setGeometry(0, CanvasTopPixels(), clientPixels.width(), clientPixels.height());
  canvas.clearPicture();
  canvas.setAutoSize(true);
  // The owner of the clipboard is asked for the image once per capture.
  const QMimeData *data = clipboard.mimeData();
  if (data != nullptr && data->hasImage()) {
    canvas.setPicture(qvariant_cast<QImage>(data->imageData()));
  }
}

} // namespace orvelle
