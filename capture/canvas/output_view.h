#pragma once

#include "capture/picture/trim_plan.h"

namespace orvelle {

class PictureBox;

// Shows the output picture of a trim in its control, at its place over the canvas.
void ShowOutputPicture(PictureBox &box, const OutputPicture &output);

} // namespace orvelle
