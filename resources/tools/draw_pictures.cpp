// Draws the window pictures of Orvelle (icon, button pictures, read-out marks,
// the version window's banner) and the demo's sample screen.
// Run once after changing a motif and commit the results:
//   draw_pictures <resources/pictures folder> <demo folder> <resources/icons folder>
// The icons folder takes the program's icon for the desktop, in the sizes of
// the hicolor icon theme.

#include "resources/tools/synthetic_screen.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

QImage Draw(int size, const std::function<void(QPainter &)> &paint) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  paint(p);
  return image;
}

void Diskette(QPainter &p, QColor body) {
  p.setPen(QPen(body.darker(170), 1));
  p.setBrush(body);
  QPainterPath shape;
  shape.moveTo(3, 3);
  shape.lineTo(18, 3);
  shape.lineTo(21, 6);
  shape.lineTo(21, 21);
  shape.lineTo(3, 21);
  shape.closeSubpath();
  p.drawPath(shape);
  p.setBrush(QColor(225, 225, 230));
  p.drawRect(QRectF(7, 3.5, 10, 6));
  p.setBrush(body.darker(150));
  p.drawRect(QRectF(13, 4.5, 2.5, 4));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(6, 13, 12, 7.5));
  p.setPen(QPen(QColor(120, 120, 140), 0.8));
  p.drawLine(QPointF(7.5, 15.5), QPointF(16.5, 15.5));
  p.drawLine(QPointF(7.5, 18), QPointF(16.5, 18));
}

QImage OpenFolder() {
  return Draw(24, [](QPainter &p) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(230, 180, 60));
    p.drawRoundedRect(QRectF(2, 5, 8, 4), 1, 1);
    p.drawRect(QRectF(2, 7, 17, 13));
    p.setBrush(QColor(250, 215, 100));
    QPainterPath flap;
    flap.moveTo(5, 11);
    flap.lineTo(22, 11);
    flap.lineTo(19, 20);
    flap.lineTo(2, 20);
    flap.closeSubpath();
    p.drawPath(flap);
  });
}

QImage Camera() {
  return Draw(24, [](QPainter &p) {
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(2, 7, 20, 13), 2, 2);
    p.drawRect(QRectF(8, 4, 8, 4));
    p.setBrush(QColor(200, 210, 230));
    p.drawEllipse(QPointF(12, 13.5), 4.5, 4.5);
    p.setBrush(QColor(40, 60, 110));
    p.drawEllipse(QPointF(12, 13.5), 2.5, 2.5);
    p.setBrush(QColor(250, 200, 60));
    p.drawRect(QRectF(17.5, 9, 2.5, 1.8));
  });
}

QImage Scissors() {
  return Draw(24, [](QPainter &p) {
    p.setPen(QPen(QColor(120, 120, 130), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 3), QPointF(15, 15));
    p.drawLine(QPointF(19, 3), QPointF(9, 15));
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7, 18), 3.5, 3.5);
    p.drawEllipse(QPointF(17, 18), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(12, 11.6), 1.3, 1.3);
  });
}

QImage PositionMark() {
  return Draw(20, [](QPainter &p) {
    p.setPen(QPen(QColor(200, 30, 30), 1.5));
    p.drawLine(QPointF(10, 2), QPointF(10, 18));
    p.drawLine(QPointF(2, 10), QPointF(18, 10));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 5, 5);
  });
}

QImage SizeMark() {
  return Draw(20, [](QPainter &p) {
    p.setPen(QPen(QColor(30, 80, 180), 1.2, Qt::DashLine));
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    p.setPen(QPen(QColor(30, 80, 180), 1.6));
    p.drawLine(QPointF(5, 15), QPointF(15, 5));
    p.setBrush(QColor(30, 80, 180));
    p.drawPolygon(QPolygonF({QPointF(15, 5), QPointF(10, 6), QPointF(14, 10)}));
    p.drawPolygon(QPolygonF({QPointF(5, 15), QPointF(10, 14), QPointF(6, 10)}));
  });
}

// The icon is designed on 32 x 32 and drawn at any size.
QImage Icon(int size = 32) {
  return Draw(size, [size](QPainter &p) {
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient sky(0, 4, 0, 28);
    sky.setColorAt(0, QColor(90, 150, 220));
    sky.setColorAt(1, QColor(200, 230, 250));
    p.setPen(QPen(QColor(40, 40, 60), 1));
    p.setBrush(sky);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setBrush(QColor(60, 140, 60));
    p.drawPolygon(QPolygonF({QPointF(4, 26), QPointF(13, 14), QPointF(20, 22), QPointF(24, 18), QPointF(28, 26)}));
    p.setPen(QPen(QColor(220, 20, 20), 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(9, 9, 15, 12));
  });
}

QImage Banner() {
  QImage image(300, 40, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient g(0, 0, 300, 0);
  g.setColorAt(0, QColor(20, 50, 110));
  g.setColorAt(1, QColor(80, 150, 210));
  p.fillRect(image.rect(), g);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 90, 90), 2, Qt::DashLine));
  p.drawRect(QRectF(8, 7, 40, 26));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(22);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(60, 0, 240, 40), Qt::AlignVCenter, QStringLiteral("Orvelle"));
  return image;
}

bool Save(const QImage &image, const QString &path, const char *format, int quality = -1) {
  if (!image.save(path, format, quality)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: draw_pictures <pictures folder> <demo folder> <icons folder>\n");
    return 2;
  }
  const QDir pictures(QString::fromLocal8Bit(argv[1]));
  const QDir demo(QString::fromLocal8Bit(argv[2]));
  bool ok = true;
  ok &= Save(Icon(), pictures.filePath("icon.png"), "PNG");
  ok &= Save(OpenFolder(), pictures.filePath("load.png"), "PNG");
  ok &=
      Save(Draw(24, [](QPainter &p) { Diskette(p, QColor(90, 90, 100)); }), pictures.filePath("save-frame.png"), "PNG");
  ok &= Save(Camera(), pictures.filePath("capture.png"), "PNG");
  ok &= Save(Scissors(), pictures.filePath("trim.png"), "PNG");
  ok &= Save(Draw(24, [](QPainter &p) { Diskette(p, QColor(40, 90, 210)); }), pictures.filePath("save-trimmed.png"),
             "PNG");
  ok &= Save(Draw(24, [](QPainter &p) { Diskette(p, QColor(210, 40, 40)); }), pictures.filePath("save-original.png"),
             "PNG");
  ok &= Save(PositionMark(), pictures.filePath("position.png"), "PNG");
  ok &= Save(SizeMark(), pictures.filePath("size.png"), "PNG");
  ok &= Save(Banner(), pictures.filePath("banner.jpg"), "JPEG", 92);
  ok &= Save(orvelle::tools::SyntheticScreen(QSize(1024, 640)), demo.filePath("sample-screen.png"), "PNG");
  const QDir icons(QString::fromLocal8Bit(argv[3]));
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    ok &= Save(Icon(size), icons.filePath(QStringLiteral("%1x%1.png").arg(size)), "PNG");
  }
  return ok ? 0 : 1;
}
