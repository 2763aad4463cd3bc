#pragma once

#include "app/form1.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace orvelle::testing {

// Answers every modal message box with OK, as a user would, and keeps what it
// said; answers a file dialog with the folder it is given ("" cancels).
class ModalAnswerer : public QObject {
public:
  ModalAnswerer();
  QStringList texts;
  QStringList captions;
  QStringList dialogTitles;
  QStringList dialogButtons; // the file dialogs' buttons
  QString folderAnswer;
  bool fitsScreen = true; // every box so far was no taller than its screen
  bool answerYes = false; // the answer to a question
  void clear() { texts.clear(), captions.clear(); }

private:
  QTimer m_timer;
};

// The real main window on an injected screen, with its program folder in a
// temporary folder and its ending recorded instead of ending the test.
class Form1Harness {
public:
  explicit Form1Harness(QSize screen = {1280, 1024}, const QString &programFolder = QString(),
                        const QString &executableFolder = QString());

  Form1 &form() { return *m_form; }
  QString programFolder() const { return m_env.programFolder; }
  QString settingsPath() const { return m_env.programFolder + QStringLiteral("/trim.ini"); }
  bool terminated() const { return *m_terminated; }
  ModalAnswerer &modals() { return m_modals; }

  void start(); // Start(), and wait until the window is on the screen

  template <typename T = QWidget> T *child(const char *name) const {
    T *found = m_form->findChild<T *>(QLatin1String(name));
    return found != nullptr ? found : (qFatal("no control named %s", name), nullptr);
  }
  // A control's text; a text box's, set; the frame's read-outs, "x,y,width,height".
  QString text(const char *name) const { return child(name)->property("text").toString(); }
  void type(const char *box, const QString &text) { child(box)->setProperty("text", text); }
  QString readouts() const;

  // Mouse events on a control at positions in its coordinates, as the window system sends them.
  void press(QWidget *w, QPointF p, Qt::MouseButton b = Qt::LeftButton);
  void move(QWidget *w, QPointF p, Qt::MouseButtons held = Qt::LeftButton);
  void release(QWidget *w, QPointF p, Qt::MouseButton b = Qt::LeftButton);
  // Press at a, one move to each point, release at the last one, on the canvas.
  void drag(QPointF a, std::initializer_list<QPointF> moves);

  // What the client area and the canvas show, in device pixels.
  QImage clientImage();
  QImage canvasImage();
  // Puts an image on the clipboard and presses the capture button.
  void capture(const QImage &image);

private:
  QTemporaryDir m_program;
  QTemporaryDir m_systemRoot;
  std::shared_ptr<bool> m_terminated = std::make_shared<bool>(false);
  Form1Environment m_env;
  ModalAnswerer m_modals;
  std::unique_ptr<Form1> m_form;
};

// A picture with a distinct colour at every pixel, so that any shift shows.
QImage NumberedImage(QSize size);

// Whether the whole outline between two corners, both included, has the colour.
bool OutlineIs(const QImage &image, QPoint a, QPoint b, QRgb colour);

} // namespace orvelle::testing
