#pragma once

#include <QLabel>

namespace orvelle {

// A label whose caption frames another control lying over its blank middle:
// "File：　　　 　　　.jpg" shows "File：" at its left edge and ".jpg" at its
// right edge, whatever the font's width of the blanks between them.
class FramingLabel : public QLabel {
  Q_OBJECT

public:
  using QLabel::QLabel;

protected:
  void paintEvent(QPaintEvent *event) override;
};

} // namespace orvelle
