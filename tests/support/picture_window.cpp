// A full-screen window that shows one picture after another over the whole
// screen, each drawn in one go (as a desktop's background changing picture
// is not): every line read from standard input names the next picture.
//   picture_window < LINES

#include <QApplication>
#include <QPainter>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>

struct PictureWindow : QWidget {
  void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(rect(), picture); }
  QImage picture;
};

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  PictureWindow window;
  window.setWindowTitle(QStringLiteral("pictures"));
  QSocketNotifier input(0, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char line[4096];
    if (std::fgets(line, sizeof(line), stdin) == nullptr) {
      QApplication::quit();
      return;
    }
    window.picture = QImage(QString::fromLocal8Bit(line).trimmed());
    window.update();
  });
  window.showFullScreen();
  return QApplication::exec();
}
