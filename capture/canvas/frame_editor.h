#pragma once

#include "capture/picture/frame.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <functional>
#include <optional>

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

// The mouse handlers of the canvas, connected to it: a left-button drag marks the frame, dotted
// while the button is held and solid after release, its height bound to its
// width by the ratio in the ratio box, which every event reads afresh. The
// drag begins, at the press, once the pointer has left the desktop's drag
// distance; a click that stays within it changes nothing.
class FrameEditor {
public:
  FrameEditor(FrameState &state, PictureBox &canvas, QLineEdit &ratioBox, FrameReadouts readouts,
              std::function<FrameColour()> colour);
  ~FrameEditor();
  FrameEditor(const FrameEditor &) = delete;
  FrameEditor &operator=(const FrameEditor &) = delete;

  void MouseDown(int buttons, float x, float y);
  void MouseMove(int buttons, float x, float y);
  void MouseUp(int buttons, float x, float y);

  // An arrow key on the canvas: moves the frame by a pixel (with Shift by 10),
  // or with Ctrl changes its width (Left, Right) or height (Up, Down; not
  // while a ratio binds the height). The frame is updated as a move updates it
  // and drawn solid. The frame's moving corner in pixels when the key changed
  // it; nothing when the key is not the frame's, there is no frame, or the
  // ratio switches the editor off.
  std::optional<QPoint> Nudge(int key, int shift);

  // The ratio that binds the height (0: none); nothing while the ratio box
  // switches the editor off (no number, or 4 or more).
  std::optional<float> Ratio();
  // The frame as a rectangle: its top-left corner and its size, positive also
  // for a frame dragged to the left or upwards; nothing without a frame.
  std::optional<QRect> FrameRect() const;
  // Sets the frame exactly as a drag with the left button from the
  // rectangle's top-left corner to its bottom-right one (one past it) would;
  // under a negative ratio, which grows the frame upwards, from its
  // bottom-left corner, so that the frame covers the rectangle either way.
  void DragFrame(const QRect &frame);

  // Shows a frame loaded into the state: its numbers in the read-outs, its
  // ratio in the ratio box, and its outline from its start over its size
  // (whole pixels) in the canvas's current style.
  void ShowLoaded();

private:
  // Sets the ratio from the box; false when the event must end here (no number
  // in the box, or a ratio that switches the editor off).
  bool ReadRatio();
  void MarkRatioBox(bool holdsNumber);
  void DrawTrackedFrame();
  // The drag's start at the press, and the frame following the pointer.
  void Press(int buttons, float x, float y);
  void Track(int buttons, float x, float y);
  // Whether the pointer has gone from the press past the drag distance.
  bool StartsDrag(float x, float y) const;
  bool SetHeight(float height);

  FrameState &m_state;
  PictureBox &m_canvas;
  QLineEdit &m_ratioBox;
  FrameReadouts m_readouts;
  std::function<FrameColour()> m_colour;
  bool m_ratioBoxMarked = false;

  // Canvas pixels: the anchor corner and the pointer at the previous move.
  float AnchorX = 0;
  float AnchorY = 0;
  float TrackX = 0;
  float TrackY = 0;
  std::optional<QPointF> m_pressed; // a left press not yet a drag
  bool m_dragging = false;          // a left-button drag under way
};

} // namespace orvelle
