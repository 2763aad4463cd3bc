#pragma once

#include "resources/tools/synthetic_screen.h"

#include <QImage>
#include <QPainter>
#include <QRasterWindow>

namespace orvelle::bench {

// A full-screen window showing a screenshot-like picture, so that the
// screen holds what a desktop holds.
class Desktop : public QRasterWindow {
public:
  explicit Desktop(QSize size) : m_picture(tools::SyntheticScreen(size)) {
    setFlags(Qt::FramelessWindowHint);
    setGeometry(QRect(QPoint(0, 0), size));
    show();
  }

protected:
  void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
  QImage m_picture;
};

} // namespace orvelle::bench
