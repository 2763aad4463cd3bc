#pragma once

#include <QImage>
#include <QPoint>

namespace orvelle {

// The magnifier's picture: the 15 x 15 pixels of a picture around a pixel,
// each as an 8 x 8 block with a one-pixel grid line on its top and left edges
// (and the last block's bottom and right ones), so that each block's middle
// shows its pixel's colour exactly; the centre pixel's block outlined; the
// centre's coordinates "X, Y" beneath. Pixels outside the picture show
// `outside`. In device pixels.
QImage LoupePicture(const QImage &picture, QPoint centre, QRgb outside);

inline constexpr int kLoupeSpan = 15; // pixels across
inline constexpr int kLoupeBlock = 8; // device pixels a pixel takes
inline constexpr int kLoupeText = 18; // the coordinates' strip, device pixels high

} // namespace orvelle
