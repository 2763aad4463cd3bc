#include "tests/support/form1_harness.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace orvelle::testing {

ModalAnswerer::ModalAnswerer() {
  connect(&m_timer, &QTimer::timeout, this, [this] {
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
      texts << box->text() + box->detailedText();
      captions << box->windowTitle();
      fitsScreen = fitsScreen && box->frameGeometry().height() <= box->screen()->availableGeometry().height();
      QAbstractButton *ok = box->button(QMessageBox::Ok);
      (ok != nullptr ? ok : box->button(answerYes ? QMessageBox::Yes : QMessageBox::No))->click();
    } else if (auto *frame = qobject_cast<QDialog *>(modal);
               frame != nullptr &&
               (frame->findChild<QSpinBox *>("Frame0") || frame->findChild<QSpinBox *>("IntervalSeconds"))) {
      dialogTitles << frame->windowTitle(); // the typed frame's and the interval's dialogs: OK as filled
      frame->accept();
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
      dialogTitles << dialog->windowTitle();
      for (const QPushButton *button : dialog->findChildren<QPushButton *>()) {
        dialogButtons << button->text();
      }
      if (folderAnswer.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->setDirectory(folderAnswer);
      dialog->selectFile(folderAnswer);
      QMetaObject::invokeMethod(dialog, "accept");
    }
  });
  m_timer.start(5);
}

Form1Harness::Form1Harness(QSize screen, const QString &programFolder, const QString &executableFolder) {
  m_env.executableFolder = executableFolder.isEmpty() ? QCoreApplication::applicationDirPath() : executableFolder;
  m_env.programFolder = programFolder.isEmpty() ? m_program.path() : programFolder;
  m_env.bitmapFolder = m_env.programFolder;
  m_env.systemRoot = m_systemRoot.path();
  m_env.screen = [screen] { return ScreenMetrics{screen, 15}; };
  m_env.osVersion = [] { return std::optional<OsVersionRecord>(); }; // no Windows
  m_env.terminate = [flag = m_terminated] { *flag = true; };
  m_env.clipboard = QApplication::clipboard();
  m_form = std::make_unique<Form1>(m_env);
}

void Form1Harness::start() {
  m_form->Start();
  if (!QTest::qWaitForWindowExposed(m_form.get())) {
    qFatal("the main window did not appear");
  }
}

QString Form1Harness::readouts() const {
  return QStringList{text("Label6"), text("Label7"), text("Label8"), text("Label9")}.join(QLatin1Char(','));
}

namespace {
void Send(QWidget *w, QEvent::Type type, QPointF p, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

// A widget's look in device pixels, as plain pixels.
QImage Grab(QWidget *w) {
  QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  return image;
}
} // namespace

void Form1Harness::press(QWidget *w, QPointF p, Qt::MouseButton b) { Send(w, QEvent::MouseButtonPress, p, b, b); }
void Form1Harness::move(QWidget *w, QPointF p, Qt::MouseButtons held) {
  Send(w, QEvent::MouseMove, p, Qt::NoButton, held);
}
void Form1Harness::release(QWidget *w, QPointF p, Qt::MouseButton b) {
  Send(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

void Form1Harness::drag(QPointF a, std::initializer_list<QPointF> moves) {
  QWidget *canvas = child("Picture1");
  press(canvas, a);
  for (const QPointF &p : moves) {
    move(canvas, p);
  }
  release(canvas, moves.size() > 0 ? *(moves.end() - 1) : a);
}

QImage Form1Harness::clientImage() {
  // The whole window, so that every pixel lies where it lies on the screen.
  const qreal ratio = m_form->devicePixelRatioF();
  const QRect client = m_form->centralWidget()->geometry();
  return Grab(m_form.get()).copy(QRectF(QPointF(client.topLeft()) * ratio, QSizeF(client.size()) * ratio).toRect());
}

QImage Form1Harness::canvasImage() { return Grab(child("Picture1")); }

void Form1Harness::capture(const QImage &image) {
  QApplication::clipboard()->setImage(image);
  child<QToolButton>("Command3")->click();
}

QImage NumberedImage(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int i = 0, x = 0, y = 0; i < size.width() * size.height(); x = ++i % size.width(), y = i / size.width()) {
    reinterpret_cast<QRgb *>(image.scanLine(y))[x] = qRgb(x * 7, y * 5, ((x >> 5) * 16 + (y >> 5) * 40) & 0xff);
  }
  return image;
}

bool OutlineIs(const QImage &image, QPoint a, QPoint b, QRgb colour) {
  const QRect r = QRect(a, b).normalized();
  bool all = true;
  for (int x = r.left(); x <= r.right(); ++x) {
    all = all && image.pixel(x, r.top()) == colour && image.pixel(x, r.bottom()) == colour;
  }
  for (int y = r.top(); y <= r.bottom(); ++y) {
    all = all && image.pixel(r.left(), y) == colour && image.pixel(r.right(), y) == colour;
  }
  return all;
}

} // namespace orvelle::testing
