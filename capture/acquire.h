#pragma once

#include <QSize>
#include <QString>

class QClipboard;
class QMimeData;

namespace orvelle {

class PictureBox;

// The most a clipboard picture may take decoded (4 bytes a pixel).
inline constexpr qint64 kMaxClipboardPictureBytes = qint64(1) << 30;

// Takes the clipboard's image into the canvas: the canvas is given the canvas
// area's size (in pixels), emptied, and given the image at one image pixel per
// device pixel, taking the image's size. Without an image on the clipboard the
// canvas stays empty. An image that cannot be taken (larger than 1 GB
// decoded, or unreadable) also leaves it empty and gives the message for the
// user; otherwise the result is empty.
QString AcquireScreenImage(PictureBox &canvas, QSize areaPixels, const QClipboard &clipboard);

// Whether the clipboard holds a picture, as a picture or as an image file's bytes.
bool HoldsPicture(const QMimeData &data);

} // namespace orvelle
