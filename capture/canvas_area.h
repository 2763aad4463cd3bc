#pragma once

#include "common/units.h"

#include <QScrollArea>

namespace orvelle {

// The canvas's top-left corner in the main window's client area, in twips:
// the strip of controls above it is 440 twips high.
inline constexpr int kCanvasTopTwips = 440;

inline int CanvasTopPixels() { return TwipsToPixels(kCanvasTopTwips); }

// The part of the client area below the strip in which the canvas lies. A
// canvas larger than it scrolls: scroll bars, the wheel (with Shift across),
// and while a button is held on the canvas the view follows the pointer.
class CanvasArea : public QScrollArea {
  Q_OBJECT

public:
  explicit CanvasArea(QWidget *parent);

  // Sets the canvas, which keeps the size it is given.
  void setCanvas(QWidget *canvas);
  // Its visible size in device pixels.
  QSize devicePixelSize() const;

protected:
  void wheelEvent(QWheelEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace orvelle
