#include "capture/canvas/frame_outline.h"

#include "capture/canvas/picture_box.h"

namespace orvelle {

void DrawFrameOutline(PictureBox &canvas, QPointF cornerA, QPointF cornerB, FrameColour colour) {
  switch (colour) {
  case FrameColour::Black:
    canvas.drawFrame(cornerA, cornerB, std::nullopt);
    break;
  case FrameColour::White:
    canvas.drawFrame(cornerA, cornerB, QColor(255, 255, 255));
    break;
  case FrameColour::Red:
    canvas.drawFrame(cornerA, cornerB, QColor(255, 0, 0));
    break;
  }
}

} // namespace orvelle
