#pragma once

#include <QSize>

class QClipboard;

namespace orvelle {

class PictureBox;

// Takes the clipboard's image into the canvas: the canvas is moved to the top
// of the canvas area at the client area's full size, emptied, and given the
// image at one image pixel per screen pixel, taking the image's size. Without
// an image on the clipboard the canvas stays empty.
void AcquireScreenImage(PictureBox &canvas, QSize clientPixels, const QClipboard &clipboard);

} // namespace orvelle
