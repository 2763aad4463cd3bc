#pragma once

#include "capture/frame.h"

#include <functional>

class QLabel;
class QLineEdit;

namespace orvelle {

class PictureBox;

// The labels that show the frame's start and size.
struct FrameReadouts {
  QLabel *startX = nullptr;
  QLabel *startY = nullptr;
  QLabel *width = nullptr;
  QLabel *height = nullptr;
};

// The mouse handlers of the canvas: a left-button drag marks the frame, dotted
// while the button is held and solid after release, its height bound to its
// width by the ratio in the ratio box, which every event reads afresh.
class FrameEditor {
public:
  FrameEditor(FrameState &state, PictureBox &canvas, QLineEdit &ratioBox, FrameReadouts readouts,
              std::function<FrameColour()> colour);

  void MouseDown(int buttons, float x, float y);
  void MouseMove(int buttons, float x, float y);
  void MouseUp(int buttons, float x, float y);

private:
  // Sets the ratio from the box; false when the event must end here (no number
  // in the box, or a ratio that switches the editor off).
  bool ReadRatio();
  void MarkRatioBox(bool holdsNumber);
  void DrawTrackedFrame();

  FrameState &m_state;
  PictureBox &m_canvas;
  QLineEdit &m_ratioBox;
  FrameReadouts m_readouts;
  std::function<FrameColour()> m_colour;
  bool m_ratioBoxMarked = false;

  // Canvas twips: the anchor corner and the pointer at the previous move.
  float AnchorX = 0;
  float AnchorY = 0;
  float TrackX = 0;
  float TrackY = 0;
};

} // namespace orvelle
