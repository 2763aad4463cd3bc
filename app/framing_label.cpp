#include "app/framing_label.h"

#include <QPainter>
#include <QRegularExpression>

namespace orvelle {

void FramingLabel::paintEvent(QPaintEvent *event) {
  static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
  const QString caption = text();
  const QRegularExpressionMatch gap = blanks.match(caption);
  if (!gap.hasMatch()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, caption.left(gap.capturedStart()));
  painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, caption.mid(gap.capturedEnd()));
}

} // namespace orvelle
