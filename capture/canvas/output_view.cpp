#include "capture/canvas/output_view.h"

#include "capture/canvas/picture_box.h"

namespace orvelle {

void ShowOutputPicture(PictureBox &box, const OutputPicture &output) {
  box.setPixelSize(output.size);
  box.setPicture(output.image);
  if (output.place) {
    box.setPixelPos(*output.place);
  }
  box.show();
}

} // namespace orvelle
