#pragma once

// What the end-to-end drivers share: checks, xdotool, the screen, the X
// clipboard, the program in a session, and a backdrop window.

#include "tests/support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QRasterWindow>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <functional>

namespace drive {

using orvelle::testing::MeanDifference;
using orvelle::testing::ReadFile;

inline int g_passed = 0;
inline int g_failed = 0;

inline void Check(bool ok, const char *what) {
  std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
  std::fflush(stdout);
  (ok ? g_passed : g_failed)++;
}

inline void Pause(int ms) {
  QThread::msleep(ms);
  QCoreApplication::processEvents();
}

// One xdotool command line; its words are separated by single blanks.
inline QString Xdo(const QString &command) {
  QProcess p;
  p.start(QStringLiteral("xdotool"), command.split(QLatin1Char(' ')));
  p.waitForFinished(20000);
  Pause(100);
  return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

inline bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 5000) {
  for (int waited = 0; waited < timeoutMs && !condition(); waited += 50) {
    Pause(50);
  }
  return condition();
}

inline QImage Screen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

inline QString At(QPoint p) { return QStringLiteral("%1 %2").arg(p.x()).arg(p.y()); }

// A visible window whose title is exactly the name.
inline QString FindWindow(const QString &name) {
  QString id;
  WaitFor([&] { return !(id = Xdo("search --onlyvisible --name ^" + name + '$').section('\n', 0, 0)).isEmpty(); },
          20000);
  return id;
}

// Puts the image on the X clipboard: xclip serves it until the next one
// takes the clipboard over, and then ends.
inline void PutOnClipboard(const QString &png, int pauseMs = 300) {
  QProcess::startDetached(
      QStringLiteral("sh"),
      {QStringLiteral("-c"), QStringLiteral("xclip -selection clipboard -t image/png -i \"$0\" >/dev/null 2>&1"), png});
  Pause(pauseMs);
}

// The clipboard's picture as another program pastes it (PNG through xclip).
inline QImage Pasted() {
  QProcess xclip;
  xclip.start(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                        QStringLiteral("-t"), QStringLiteral("image/png")});
  xclip.waitForFinished(10000);
  return QImage::fromData(xclip.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

// The program, started (at a display scale when one is given), and its window.
class Session {
public:
  Session(const QString &program, const QString &folder, const QString &scale = QString()) {
    m_process.setWorkingDirectory(folder);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!scale.isEmpty()) {
      env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    }
    m_process.setProcessEnvironment(env);
    m_process.start(program, {});
    // Every start on this system says that it is no confirmed Windows.
    const QString box = FindWindow(QStringLiteral("Pemrose"));
    Check(!box.isEmpty(), "the start-up message box appears");
    Xdo("windowfocus --sync " + box + " key Return");
    m_window = FindWindow(QStringLiteral("Orvelle"));
    Pause(500);
  }
  // Captures the picture (in the PNG file) with 実行(R) → キャプチャー, the
  // fourth menu's first entry; whether the
  // canvas then shows it (or the part given, or its top-left part when it
  // is larger than the screen) pixel for pixel, below the window's top at its left.
  bool capture(const QImage &picture, const QString &png, QRect part = QRect()) {
    PutOnClipboard(png);
    key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Return"));
    QMap<QString, int> at;
    for (const QString &line : Xdo("getwindowgeometry --shell " + m_window).split('\n')) {
      at[line.section('=', 0, 0)] = line.section('=', 1).toInt();
    }
    return WaitFor([&] {
      const QImage screen = Screen();
      for (m_canvas = QPoint(at["X"], at["Y"]); m_canvas.y() < at["Y"] + 200; ++m_canvas.ry()) {
        const QRect shown = part.isNull() ? QRect(QPoint(0, 0), picture.size().boundedTo(QSize(900, 600))) : part;
        if (screen.copy(shown.translated(m_canvas)) == picture.copy(shown)) {
          return true;
        }
      }
      return false;
    });
  }
  ~Session() {
    m_process.kill();
    m_process.waitForFinished();
  }

  void key(const QString &keys) { Xdo("windowfocus --sync " + m_window + " key " + keys); }
  // At scale 1, a click at a point of the client area, which begins 29 pixels
  // above the canvas; a picture button, 28 pixels apart from x 580.
  void click(QPoint p) { Xdo("mousemove " + At(m_canvas - QPoint(0, 29) + p) + " click 1"); }
  void command(int number) { click(QPoint(580 + 28 * (number - 1) + 13, 14)); }
  // A drag on the canvas, which starts 29 pixels down the client area.
  void drag(QPoint from, QPoint to) {
    QString moves;
    for (int step = 1; step <= 4; ++step) {
      moves += " sleep 0.06 mousemove " + At(canvas(from + (to - from) * step / 4));
    }
    Xdo("mousemove " + At(canvas(from)) + " mousedown 1" + moves + " sleep 0.1 mouseup 1");
  }
  QPoint canvas(QPoint p) const { return m_canvas + p; }
  bool shows(const QImage &picture, QRect area) {
    return WaitFor([&] { return Screen().copy(area.translated(canvas(QPoint(0, 0)))) == picture.copy(area); });
  }
  // Ends the program with Ctrl+Q; true when it ended by itself with exit code
  // 0 (a sanitized build exits otherwise when it finds a leak or an error).
  bool quit() {
    key(QStringLiteral("ctrl+q"));
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(30000)) {
      return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
  }
  QString window() const { return m_window; }
  // The program's window that takes the focus from the main window (a
  // dialog), or its one visible window while the main window is hidden: found
  // so, since xdotool cannot match Japanese titles in every locale.
  QString dialog() {
    QString id;
    WaitFor([&] { return (id = Xdo("getwindowfocus")) != m_window; });
    return id;
  }
  QString onlyWindow() {
    QString id;
    WaitFor([&] {
      id = Xdo(QStringLiteral("search --onlyvisible --pid %1").arg(m_process.processId()));
      return !id.isEmpty() && !id.contains('\n') && id != m_window;
    });
    return id;
  }

private:
  QProcess m_process;
  QString m_window;
  QPoint m_canvas; // the screen pixel that shows the capture's pixel (0, 0)
};

class Backdrop : public QRasterWindow {
public:
  explicit Backdrop(const QImage &picture) : m_picture(picture) {
    setFlags(Qt::FramelessWindowHint);
    setGeometry(QRect(QPoint(0, 0), picture.size()));
    show();
  }
  void setPicture(const QImage &picture) {
    m_picture = picture;
    update();
    Pause(300);
  }

protected:
  void paintEvent(QPaintEvent *) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
  QImage m_picture;
};

// Which of the pictures' framed areas each file of the series holds, in order
// (-1: none of them).
inline QList<int> Series(const QString &pictures, const QString &name, const QList<QImage> &shown, const QRect &frame) {
  QList<int> held;
  for (const QString &file : QDir(pictures).entryList({name + QStringLiteral("-*.jpg")}, QDir::Files, QDir::Name)) {
    held << -1;
    for (int i = int(shown.size()) - 1; i >= 0; --i) {
      held.back() = MeanDifference(QImage(pictures + '/' + file), shown[i].copy(frame)) < 8 ? i : held.back();
    }
  }
  return held;
}

// The interval trim at 1 s, from the menu and with orvelle-trim --every 1:
// three pictures in the frame, each shown for a few seconds, give three
// files; a change outside the frame and seconds without a change give none.

// The global key, set, pressed, held, refused and changed (drive_key.cpp).
void DriveKey(const QString &program, const QString &folder, const QString &pictures, const QImage &sample);

} // namespace drive
