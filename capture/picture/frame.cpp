#include "capture/picture/frame.h"

namespace orvelle {

FrameColour FrameColourOf(bool blackSelected, bool whiteSelected) {
  if (blackSelected) {
    return FrameColour::Black;
  }
  return whiteSelected ? FrameColour::White : FrameColour::Red;
}

bool HasFrame(const TrimFrame &trim, const DragFrame &drag) {
  return trim.PicWidth != 0 && trim.PicHeight != 0 && drag.NewPicWidth != 0 && drag.NewPicHeight != 0;
}

} // namespace orvelle
