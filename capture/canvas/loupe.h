#pragma once

#include <QObject>
#include <QTimer>

namespace orvelle {

class PictureBox;

// The magnifier over the canvas: while a frame is dragged with the left
// button, and for a second after each arrow-key nudge (at the moving corner),
// it shows the canvas's pixels around the pointer (see LoupePicture) beside
// the pointer, on the canvas's own pixel grid, turned to the other side where
// it would leave the visible canvas, never over the pixel under the pointer.
// An overlay only: the canvas's picture and drawings stay as they are.
class Loupe : public QObject {
  Q_OBJECT

public:
  explicit Loupe(PictureBox &canvas);

  void setEnabled(bool on);
  // For a nudge: shown at the corner for a second.
  void ShowBriefly(QPoint pixel);

private:
  void ShowAt(QPoint pixel);
  void Hide();

  PictureBox &m_canvas;
  QTimer m_brief;
  bool m_on = false;
  bool m_dragging = false;
};

} // namespace orvelle
