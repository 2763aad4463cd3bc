#pragma once

#include "common/units.h"

#include <QWidget>

namespace orvelle {

// A horizontal line one pixel high, in the window-text or window colour; two of
// them one pixel apart make an etched groove.
class SeparatorLine : public QWidget {
  Q_OBJECT

public:
  SeparatorLine(QPalette::ColorRole colour, int yTwips, QWidget *parent);

  // From X1 to X2 in twips at the given twips per pixel, both ends included.
  void SetExtent(double x1Twips, double x2Twips, double twipsPerPixel = kTwipsPerPixel);
  QPalette::ColorRole colourRole() const { return m_colour; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QPalette::ColorRole m_colour;
  int m_y;
};

} // namespace orvelle
