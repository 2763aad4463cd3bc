#pragma once

#include "capture/picture/frame.h"

#include <QPointF>

namespace orvelle {

class PictureBox;

// The frame drawing rule: an outline between two corners in canvas pixels on
// the canvas's drawing layer, in its current style; black is the canvas's own
// foreground colour, so no colour is passed for it.
void DrawFrameOutline(PictureBox &canvas, QPointF cornerA, QPointF cornerB, FrameColour colour);

} // namespace orvelle
