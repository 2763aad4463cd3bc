// Drives the real program in a real X server, as a user would: the screen
// image goes onto the X clipboard with xclip, the mouse and keys come from
// xdotool, and what the program shows is read off screenshots of the screen.
//
//   orvelle_drive [--installed] <orvelle executable> <screen image.png> <output folder>
//
// The program runs from a folder of its own beside its JPEG library; with
// --installed it runs where it lies, as installed from the package, and keeps
// its files in the user's configuration folder (made in the output folder).
//
// One whole use: capture, drag a frame, trim, name, save both pictures, save
// the frame, quit, start again, load the frame and trim a new capture.
// Leaves the screenshots, the JPEG files and trim.ini in the output folder and
// ends with "N passed, M failed".

#include "tests/support/test_files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <functional>
#include <optional>

using orvelle::testing::MeanDifference;
using orvelle::testing::ReadFile;

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const QString &what) {
  std::printf("%s %s\n", ok ? "PASS" : "FAIL", qPrintable(what));
  std::fflush(stdout);
  (ok ? g_passed : g_failed)++;
}

QString Run(const QString &program, const QStringList &args, int timeoutMs = 20000) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished();
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

void Xdo(const QStringList &args) { Run(QStringLiteral("xdotool"), args); }

void Pause(int ms) {
  QThread::msleep(ms);
  QCoreApplication::processEvents();
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (condition()) {
      return true;
    }
    Pause(50);
  }
  return condition();
}

QImage Screen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// A visible window whose title is exactly the name.
std::optional<QString> FindWindow(const QString &name, int timeoutMs) {
  QString id;
  WaitFor(
      [&] {
        id = Run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), QLatin1Char('^') + name + QLatin1Char('$')})
                 .section(QLatin1Char('\n'), 0, 0);
        return !id.isEmpty();
      },
      timeoutMs);
  return id.isEmpty() ? std::nullopt : std::optional<QString>(id);
}

QRect WindowGeometry(const QString &id) {
  const QString shell =
      Run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
  int x = 0, y = 0, w = 0, h = 0;
  for (const QString &line : shell.split(QLatin1Char('\n'))) {
    const QString value = line.section(QLatin1Char('='), 1);
    if (line.startsWith(QLatin1String("X=")))
      x = value.toInt();
    if (line.startsWith(QLatin1String("Y=")))
      y = value.toInt();
    if (line.startsWith(QLatin1String("WIDTH=")))
      w = value.toInt();
    if (line.startsWith(QLatin1String("HEIGHT=")))
      h = value.toInt();
  }
  return QRect(x, y, w, h);
}

bool IsDark(QRgb p) { return qGray(p) < 80; }
bool IsLight(QRgb p) { return qGray(p) > 200; }

// The client area's top-left corner on the screen: the two etched grooves of
// the strip (dark over light at its top and 27 pixels lower) mark it, wherever
// the menu bar ends. Looked for near the window's right edge, where nothing
// else is drawn.
std::optional<QPoint> ClientOrigin(const QImage &screen, const QRect &window) {
  const int x = window.right() - 40;
  for (int y = window.top(); y < window.top() + 80; ++y) {
    if (IsDark(screen.pixel(x, y)) && IsLight(screen.pixel(x, y + 1)) && IsDark(screen.pixel(x, y + 27)) &&
        IsLight(screen.pixel(x, y + 28))) {
      return QPoint(window.left(), y);
    }
  }
  return std::nullopt;
}

class Session {
public:
  Session(QString program, QString folder) : m_program(std::move(program)), m_folder(std::move(folder)) {}
  ~Session() { stop(); }

  bool start() {
    m_process.setProgram(m_program);
    m_process.setWorkingDirectory(m_folder);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted()) {
      std::fprintf(stderr, "cannot start %s: %s\n", qPrintable(m_program), qPrintable(m_process.errorString()));
      return false;
    }
    // Every start on this system says that it is no confirmed Windows.
    const auto box = FindWindow(QStringLiteral("Pemrose"), 20000);
    Check(box.has_value(), QStringLiteral("the start-up message box appears"));
    if (box) {
      Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), *box});
      Xdo({QStringLiteral("key"), QStringLiteral("Return")});
    }
    const auto window = FindWindow(QStringLiteral("Orvelle"), 20000);
    if (!window) {
      std::fprintf(stderr, "the main window did not appear\n");
      return false;
    }
    m_window = *window;
    Pause(500);
    const auto origin = ClientOrigin(Screen(), WindowGeometry(m_window));
    if (!origin) {
      std::fprintf(stderr, "the strip of the main window was not found\n");
      return false;
    }
    m_client = *origin;
    return true;
  }

  void focus() { Xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), m_window}); }
  void key(const QString &keys) {
    focus();
    Xdo({QStringLiteral("key"), keys});
    Pause(300);
  }
  // A click at a point of the client area.
  void click(QPoint p) {
    const QPoint s = m_client + p;
    Xdo({QStringLiteral("mousemove"), QString::number(s.x()), QString::number(s.y()), QStringLiteral("click"),
         QStringLiteral("1")});
    Pause(300);
  }
  // The picture buttons, 28 pixels apart from x 580, 1 pixel down.
  void command(int number) { click(QPoint(580 + 28 * (number - 1) + 13, 14)); }
  // A drag on the canvas, which starts 29 pixels down the client area.
  void drag(QPoint from, QPoint to) {
    const QPoint a = canvasToScreen(from);
    const QPoint b = canvasToScreen(to);
    Xdo({QStringLiteral("mousemove"), QString::number(a.x()), QString::number(a.y()), QStringLiteral("mousedown"),
         QStringLiteral("1")});
    for (int step = 1; step <= 4; ++step) {
      const QPoint p = a + (b - a) * step / 4;
      Pause(60);
      Xdo({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    }
    Pause(100);
    Xdo({QStringLiteral("mouseup"), QStringLiteral("1")});
    Pause(300);
  }
  void type(QPoint box, const QString &text) {
    click(box);
    focus();
    Xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
    Pause(300);
  }
  QPoint canvasToScreen(QPoint p) const { return m_client + QPoint(0, 29) + p; }
  QImage canvasArea(QRect r) const { return Screen().copy(r.translated(canvasToScreen(QPoint(0, 0)))); }

  bool quitWithCtrlQ() {
    key(QStringLiteral("ctrl+q"));
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(10000);
  }
  void stop() {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.kill();
      m_process.waitForFinished();
    }
  }

private:
  QString m_program;
  QString m_folder;
  QProcess m_process;
  QString m_window;
  QPoint m_client;
};

// Serves the image on the X clipboard until the next one replaces it.
class Clipboard {
public:
  void put(const QString &png) {
    stop();
    m_xclip.setStandardOutputFile(QProcess::nullDevice());
    m_xclip.setStandardErrorFile(QProcess::nullDevice());
    m_xclip.start(QStringLiteral("xclip"),
                  {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                   QStringLiteral("image/png"), QStringLiteral("-i"), png});
    m_xclip.waitForStarted();
    Pause(300);
  }
  void stop() {
    if (m_xclip.state() != QProcess::NotRunning) {
      m_xclip.kill();
      m_xclip.waitForFinished();
    }
  }
  ~Clipboard() { stop(); }

private:
  QProcess m_xclip;
};

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  const bool installedMode = argc == 5 && QByteArray(argv[1]) == "--installed";
  if (installedMode) {
    ++argv;
    --argc;
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: orvelle_drive [--installed] <orvelle> <screen.png> <output folder>\n");
    return 2;
  }
  const QString orvelle = QString::fromLocal8Bit(argv[1]);
  const QString samplePath = QString::fromLocal8Bit(argv[2]);
  const QDir out(QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath());
  const QImage sample = QImage(samplePath).convertToFormat(QImage::Format_RGB32);
  if (sample.isNull()) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }

  // The program's folder for trim.ini and the bitmaps, with the save folder
  // already chosen.
  const QString config = out.filePath(QStringLiteral("config"));
  const QString programFolder =
      installedMode ? config + QStringLiteral("/Orvelle/Orvelle") : out.filePath(QStringLiteral("program"));
  const QString pictures = out.filePath(QStringLiteral("pictures"));
  QDir(programFolder).removeRecursively();
  QDir(pictures).removeRecursively();
  QDir().mkpath(programFolder);
  QDir().mkpath(pictures);
  QString installed = orvelle;
  if (installedMode) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
  } else {
    installed = programFolder + QStringLiteral("/orvelle");
    const QString library = QFileInfo(orvelle).absolutePath() + QStringLiteral("/libSaveJPG.so");
    if (!QFile::copy(orvelle, installed) || !QFile::copy(library, programFolder + QStringLiteral("/libSaveJPG.so"))) {
      std::fprintf(stderr, "cannot copy the program into %s\n", qPrintable(programFolder));
      return 2;
    }
  }
  const QString ini = programFolder + QStringLiteral("/trim.ini");
  {
    QFile f(ini);
    f.open(QIODevice::WriteOnly);
    f.write("[File]\nF_Path=" + QFile::encodeName(pictures) + "\n");
  }
  const QImage second = sample.mirrored(true, true);
  const QString secondPath = out.filePath(QStringLiteral("second-screen.png"));
  second.save(secondPath);

  Clipboard clipboard;
  const QRect frame(100, 80, 300, 220);
  {
    Session s(installed, programFolder);
    if (!s.start()) {
      Check(false, QStringLiteral("the main window appears and shows its strip"));
      std::printf("%d passed, %d failed\n", g_passed, g_failed);
      return 1;
    }
    Screen().save(out.filePath(QStringLiteral("1-started.png")));

    clipboard.put(samplePath);
    s.command(3);
    Check(WaitFor([&] { return s.canvasArea(sample.rect()) == sample; }, 5000),
          QStringLiteral("capture shows the clipboard image pixel for pixel"));

    s.drag(frame.topLeft(), frame.topLeft() + QPoint(frame.width(), frame.height()));
    const auto solidFrame = [&] {
      const QImage dragged = s.canvasArea(frame.adjusted(0, 0, 1, 1));
      for (int x = 0; x <= frame.width(); ++x) {
        if (!IsDark(dragged.pixel(x, 0)) || !IsDark(dragged.pixel(x, frame.height()))) {
          return false;
        }
      }
      for (int y = 0; y <= frame.height(); ++y) {
        if (!IsDark(dragged.pixel(0, y)) || !IsDark(dragged.pixel(frame.width(), y))) {
          return false;
        }
      }
      return true;
    };
    Check(WaitFor(solidFrame, 5000), QStringLiteral("the dragged frame is drawn solid"));
    Screen().save(out.filePath(QStringLiteral("2-frame.png")));

    s.command(4);
    Check(WaitFor([&] { return s.canvasArea(frame) == sample.copy(frame); }, 5000),
          QStringLiteral("the trim shows the frame's area over it, without frame lines"));
    Screen().save(out.filePath(QStringLiteral("3-trimmed.png")));

    s.type(QPoint(776 + 25, 4 + 10), QStringLiteral("shot"));
    s.click(QPoint(884 + 50, 4 + 10)); // the quality slider, then to its end
    s.key(QStringLiteral("End"));
    s.command(5);
    s.command(6);
    const QString trimmedJpeg = pictures + QStringLiteral("/shot.jpg");
    const QString originalJpeg = pictures + QStringLiteral("/shot-org.jpg");
    WaitFor([&] { return QFile::exists(trimmedJpeg) && QFile::exists(originalJpeg); }, 5000);
    const QImage trimmed = QImage(trimmedJpeg).convertToFormat(QImage::Format_RGB32);
    const QImage original = QImage(originalJpeg).convertToFormat(QImage::Format_RGB32);
    // Quality 100: within JPEG's tolerance of the picture, far from any other.
    const double trimmedDiff = MeanDifference(trimmed, sample.copy(frame));
    const double originalDiff = MeanDifference(original, sample);
    const double otherDiff = MeanDifference(trimmed, sample.copy(frame.translated(40, 40)));
    Check(trimmedDiff < 2.5 && otherDiff > 3 * trimmedDiff,
          QStringLiteral("shot.jpg holds the trimmed area (mean difference %1, %2 to another area)")
              .arg(trimmedDiff)
              .arg(otherDiff));
    Check(originalDiff < 2.5,
          QStringLiteral("shot-org.jpg holds the whole capture (mean difference %1)").arg(originalDiff));
    Screen().save(out.filePath(QStringLiteral("orvelle-window.png")));

    s.key(QStringLiteral("ctrl+s"));
    WaitFor([&] { return ReadFile(ini).contains("PicRatio="); }, 5000);
    const QByteArray saved = ReadFile(ini);
    Check(saved.contains("PicStartX=100\n") && saved.contains("PicWidth=300\n") && saved.contains("PicHeight=220\n"),
          QStringLiteral("Ctrl+S stores the frame in trim.ini"));
    Check(s.quitWithCtrlQ(), QStringLiteral("Ctrl+Q ends the program"));
    Check(ReadFile(ini) == saved, QStringLiteral("ending writes nothing to trim.ini"));
  }
  {
    Session s(installed, programFolder);
    Check(s.start(), QStringLiteral("the program starts again"));
    clipboard.put(secondPath);
    s.command(3);
    s.key(QStringLiteral("ctrl+l"));
    s.command(4);
    Check(WaitFor([&] { return s.canvasArea(frame) == second.copy(frame); }, 5000),
          QStringLiteral("after Ctrl+L the same area is cut out of a new capture"));
    Screen().save(out.filePath(QStringLiteral("4-loaded-and-trimmed.png")));
    s.quitWithCtrlQ();
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
