#pragma once

#include "common/units.h"

#include <QScrollArea>

class QTimer;

namespace orvelle {

// The canvas's top-left corner in the main window's client area, in twips:
// the strip of controls above it is 440 twips high.
inline constexpr int kCanvasTopTwips = 440;

inline int CanvasTopPixels() { return TwipsToPixels(kCanvasTopTwips); }

// The part of the client area below the strip in which the canvas lies. A
// canvas larger than it scrolls: scroll bars, the wheel (with Shift across),
// and while a button is held on the canvas the view follows the pointer; held
// past the edge, it keeps scrolling that way, the faster the farther out, and
// the canvas is told of the pointer anew at each step.
class CanvasArea : public QScrollArea {
  Q_OBJECT

public:
  explicit CanvasArea(QWidget *parent);

  // Sets the canvas, which keeps the size it is given.
  void setCanvas(QWidget *canvas);

protected:
  void wheelEvent(QWheelEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void AutoScroll();

  QTimer *m_autoScroll;
  QPointF m_pointer; // in the viewport, while a button is held
  Qt::MouseButtons m_buttons = Qt::NoButton;
};

} // namespace orvelle
