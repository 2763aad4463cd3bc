#pragma once

#include <QString>
#include <cstdint>

namespace orvelle {

// The trimming frame on the canvas, in canvas pixels. Width and height are
// negative for a frame dragged to the left or upwards.
struct TrimFrame {
  float PicStartX = 0;
  float PicStartY = 0;
  float PicWidth = 0;
  std::int32_t PicHeight = 0;
};

// Where the trim paints the frame's area inside the output picture, in pixels.
struct DragFrame {
  float NewPicStartX = 0;
  float NewPicStartY = 0;
  float NewPicWidth = 0;
  std::int16_t NewPicHeight = 0;
};

// The frame with its height/width ratio: 0 leaves the height free, 4 or more
// switches the frame editor off.
struct FrameState {
  TrimFrame trim;
  DragFrame drag;
  float FrameRatio = 0;
};

inline constexpr float kEditorOffRatio = 4.0f;

enum class FrameColour { Black, White, Red };

// Which colour the option buttons "B", "W" and "R" select; red when neither of
// the first two is selected.
FrameColour FrameColourOf(bool blackSelected, bool whiteSelected);

// Whether there is a frame to trim over and over with: the frame and the
// output picture both have a width and a height.
bool HasFrame(const TrimFrame &trim, const DragFrame &drag);

} // namespace orvelle
