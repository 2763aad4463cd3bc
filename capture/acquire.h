#pragma once

#include <QSize>

class QClipboard;

namespace orvelle {

class PictureBox;

// Takes the clipboard's image into the canvas: the canvas is given the canvas
// area's size (in pixels), emptied, and given the image at one image pixel per
// device pixel, taking the image's size. Without an image on the clipboard the
// canvas stays empty.
void AcquireScreenImage(PictureBox &canvas, QSize areaPixels, const QClipboard &clipboard);

} // namespace orvelle
