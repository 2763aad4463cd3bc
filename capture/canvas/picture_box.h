#pragma once

#include "capture/canvas/outline_layer.h"
#include "common/device_grid.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QWidget>
#include <optional>

namespace orvelle {

// A picture control: a picture shown at its top-left corner, and a drawing
// layer of rectangle outlines above it that never reaches the picture.
//
// The control measures in picture pixels, and every picture pixel is drawn on
// exactly one device pixel of the screen, whatever the display's scale: the
// picture starts on the first whole device pixel of the control, and outlines
// are one device pixel wide. A control placed inside another (setPixelPos)
// starts on that one's pixel grid.
// Mouse events are reported in picture pixels with the button mask 1 left,
// 2 right, 4 middle and the shift mask 1 Shift, 2 Ctrl, 4 Alt.
class PictureBox : public QWidget {
  Q_OBJECT

public:
  using DrawStyle = OutlineLayer::Style;

  explicit PictureBox(QWidget *parent = nullptr);

  // The picture is shown as it is: an opaque one (see OpaquePicture).
  void setPicture(const QImage &picture);
  void clearPicture();
  const QImage &picture() const { return m_picture; }
  bool hasPicture() const { return !m_picture.isNull(); }

  // The control's size and, inside another picture control, its place, in pixels.
  QSize pixelSize() const { return m_pixelSize; }
  void setPixelSize(QSize pixels);
  void setPixelPos(QPoint pixels);
  // Where a pixel's top-left corner lies in the control's own coordinates.
  QPointF logicalPoint(QPoint pixel) const;
  // The control's area that covers these pixels.
  QRect logicalRect(const QRect &pixels) const { return grid().logicalRect(pictureOffset(), pixels); }
  // The pixels of the control that are visible (inside the scrolled view).
  QRect visiblePixels() const;

  // What the control shows at its current size: the picture over the
  // background. Frame lines are never part of it.
  QImage image() const;

  void setDrawStyle(DrawStyle style) { m_drawStyle = style; }
  void clearDrawings();
  // An outline between two opposite corners in pixels (rounded to whole
  // ones), both corners included; without a colour the control's foreground
  // colour is used.
  void drawFrame(QPointF cornerA, QPointF cornerB, std::optional<QColor> colour);
  QColor foreColor() const { return Qt::black; }

  // An image over the picture and the drawings (the magnifier), its pixels
  // on the control's pixels from this place on; never part of image().
  void setOverlay(const QImage &image, QPoint pixel);
  void clearOverlay();
  QColor backColor() const;

signals:
  void mouseDown(int buttons, int shift, float x, float y);
  void mouseMove(int buttons, int shift, float x, float y);
  void mouseUp(int buttons, int shift, float x, float y);
  void keyDown(int key, int shift);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void moveEvent(QMoveEvent *event) override;

private:
  void repaintOutline(const QRect &pixels);
  void paintImageArea(QPainter &painter, const QRect &area, const QPointF &offset) const;
  void relayout();
  // The picture pixel under the pointer.
  QPointF pointerPixel(const QMouseEvent *event) const;
  DeviceGrid grid() const { return DeviceGrid(devicePixelRatioF()); }
  // The window's device pixel that the picture's pixel (0, 0) lies on.
  QPointF deviceOrigin() const;
  // Where the picture's pixel (0, 0) lies in the control's own coordinates.
  QPointF pictureOffset() const;

  QImage m_picture;
  QSize m_pixelSize;
  std::optional<QPoint> m_pixelPos; // inside a parent picture control
  DrawStyle m_drawStyle = DrawStyle::Solid;
  OutlineLayer m_outlines;
  QImage m_overlay;
  QPoint m_overlayPos;
};

} // namespace orvelle
