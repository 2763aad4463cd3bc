#include "app/separator_line.h"

#include "common/numbers.h"

#include <QPainter>

namespace orvelle {

SeparatorLine::SeparatorLine(QPalette::ColorRole colour, int yTwips, QWidget *parent)
    : QWidget(parent), m_colour(colour), m_y(TwipsToPixels(yTwips)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  SetExtent(100, 6480);
}

void SeparatorLine::SetExtent(double x1Twips, double x2Twips, double twipsPerPixel) {
  const int x1 = static_cast<int>(RoundHalfEven(x1Twips / twipsPerPixel));
  const int x2 = static_cast<int>(RoundHalfEven(x2Twips / twipsPerPixel));
  setGeometry(qMin(x1, x2), m_y, qAbs(x2 - x1) + 1, 1);
}

void SeparatorLine::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(m_colour));
}

} // namespace orvelle
