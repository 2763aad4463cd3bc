#pragma once

#include "common/device_grid.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QWidget>
#include <optional>
#include <vector>

namespace orvelle {

// A picture control: a picture shown at its top-left corner, and a drawing
// layer of rectangle outlines above it that never reaches the picture.
// With auto-size on, the control takes the size of each picture it is given.
// In persistent-image mode the control also keeps an image of its own size
// into which pictures can be painted; that image is what a save writes.
//
// The control measures in picture pixels, and every picture pixel is drawn on
// exactly one device pixel of the screen, whatever the display's scale: the
// picture starts on the first whole device pixel of the control, and outlines
// are one device pixel wide. A control placed inside another (setPixelPos)
// starts on that one's pixel grid.
// Mouse events are reported in control twips (15 to the picture pixel) with the
// button mask 1 left, 2 right, 4 middle and the shift mask 1 Shift, 2 Ctrl, 4 Alt.
class PictureBox : public QWidget {
  Q_OBJECT

public:
  enum class DrawStyle { Solid = 0, Dot = 2 };

  explicit PictureBox(QWidget *parent = nullptr);

  void setPicture(const QImage &picture);
  void clearPicture();
  const QImage &picture() const { return m_picture; }
  bool hasPicture() const { return !m_picture.isNull(); }

  void setAutoSize(bool on) { m_autoSize = on; }

  // The control's size and, inside another picture control, its place, in pixels.
  QSize pixelSize() const { return m_pixelSize; }
  void setPixelSize(QSize pixels);
  void setPixelPos(QPoint pixels);
  // Where a pixel's top-left corner lies in the control's own coordinates.
  QPointF logicalPoint(QPoint pixel) const;

  void setPersistentImage(bool on) { m_persistent = on; }

  // What the control holds at its current size: the persistent image, or the
  // picture over the background. Frame lines are never part of it.
  QImage image() const;

  // Fills the whole persistent image with one colour.
  void fillImage(const QColor &colour);
  // Paints the source rectangle of a picture into the destination rectangle of
  // the persistent image, stretching it when the sizes differ (pixels).
  void paintPicture(const QImage &source, const QRect &destination, const QRect &sourceRect);

  void setDrawStyle(DrawStyle style) { m_drawStyle = style; }
  void clearDrawings();
  // An outline between two opposite corners in twips, both corners included;
  // without a colour the control's foreground colour is used.
  void drawFrame(QPointF cornerA, QPointF cornerB, std::optional<QColor> colour);
  QColor foreColor() const { return Qt::black; }
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
  struct Outline {
    QRect pixels; // both corners included
    DrawStyle style;
    QColor colour;
  };
  static QRegion OutlineRegion(const QRect &r);
  void repaintOutline(const QRect &pixels);
  void materialize() const;
  void paintImageArea(QPainter &painter, const QRect &area, const QPointF &offset, qreal ratio) const;
  void relayout();
  // The picture pixel under the pointer, in twips.
  QPointF pointerTwips(const QMouseEvent *event) const;
  DeviceGrid grid() const { return DeviceGrid(devicePixelRatioF()); }
  qreal ratio() const { return devicePixelRatioF(); }
  // The window's device pixel that the picture's pixel (0, 0) lies on.
  QPointF deviceOrigin() const;
  // Where the picture's pixel (0, 0) lies in the control's own coordinates.
  QPointF pictureOffset() const;
  // The control's area that covers these pixels.
  QRect logicalRect(const QRect &pixels) const;

  QImage m_picture;
  QSize m_pixelSize;
  std::optional<QPoint> m_pixelPos; // inside a parent picture control
  bool m_autoSize = false;
  bool m_persistent = false;
  mutable QImage m_image; // the persistent image, brought to the control's size when used
  DrawStyle m_drawStyle = DrawStyle::Solid;
  std::vector<Outline> m_outlines;
};

// A picture as the canvas shows it: opaque, each pixel with its colour even
// where a screenshot's alpha channel is 0.
QImage OpaquePicture(const QImage &picture);

// Paints the source rectangle of a picture into the destination rectangle of
// the target, stretching it when the sizes differ; what was there is replaced.
void PaintStretched(QImage &target, const QImage &source, const QRect &destination, const QRect &sourceRect);

} // namespace orvelle
