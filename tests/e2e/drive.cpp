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
#include <QFileInfo>
#include <QGuiApplication>
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

void Pause(int ms) {
  QThread::msleep(ms);
  QCoreApplication::processEvents();
}

// One xdotool command line; its words are separated by single blanks.
QString Xdo(const QString &command) {
  QProcess p;
  p.start(QStringLiteral("xdotool"), command.split(QLatin1Char(' ')));
  p.waitForFinished(20000);
  return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 5000) {
  for (int waited = 0; waited < timeoutMs && !condition(); waited += 50) {
    Pause(50);
  }
  return condition();
}

QImage Screen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// A visible window whose title is exactly the name.
QString FindWindow(const QString &name) {
  QString id;
  WaitFor([&] { return !(id = Xdo("search --onlyvisible --name ^" + name + '$').section('\n', 0, 0)).isEmpty(); },
          20000);
  return id;
}

bool IsDark(QRgb p) { return qGray(p) < 80; }
bool IsLight(QRgb p) { return qGray(p) > 200; }

// The client area's top-left corner on the screen: the two etched grooves of
// the strip (dark over light at its top and 27 pixels lower) mark it, wherever
// the menu bar ends. Looked for near the window's right edge.
std::optional<QPoint> ClientOrigin(const QString &window) {
  QMap<QString, int> geometry;
  for (const QString &line : Xdo("getwindowgeometry --shell " + window).split('\n')) {
    geometry[line.section('=', 0, 0)] = line.section('=', 1).toInt();
  }
  const QImage screen = Screen();
  const int x = geometry["X"] + geometry["WIDTH"] - 41;
  for (int y = geometry["Y"]; y < geometry["Y"] + 80; ++y) {
    if (IsDark(screen.pixel(x, y)) && IsLight(screen.pixel(x, y + 1)) && IsDark(screen.pixel(x, y + 27)) &&
        IsLight(screen.pixel(x, y + 28))) {
      return QPoint(geometry["X"], y);
    }
  }
  return std::nullopt;
}

QString At(QPoint p) { return QStringLiteral("%1 %2").arg(p.x()).arg(p.y()); }

class Session {
public:
  Session(const QString &program, const QString &folder) {
    m_process.setWorkingDirectory(folder);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, {});
  }
  ~Session() {
    m_process.kill();
    m_process.waitForFinished();
  }

  bool start() {
    // Every start on this system says that it is no confirmed Windows.
    const QString box = FindWindow(QStringLiteral("Pemrose"));
    Check(!box.isEmpty(), QStringLiteral("the start-up message box appears"));
    Xdo("windowfocus --sync " + box + " key Return");
    m_window = FindWindow(QStringLiteral("Orvelle"));
    Pause(500);
    const auto origin = ClientOrigin(m_window);
    m_client = origin.value_or(QPoint());
    return origin.has_value();
  }

  void key(const QString &keys) {
    Xdo("windowfocus --sync " + m_window + " key " + keys);
    Pause(300);
  }
  // A click at a point of the client area.
  void click(QPoint p) {
    Xdo("mousemove " + At(m_client + p) + " click 1");
    Pause(300);
  }
  // The picture buttons, 28 pixels apart from x 580, 1 pixel down.
  void command(int number) { click(QPoint(580 + 28 * (number - 1) + 13, 14)); }
  // A drag on the canvas, which starts 29 pixels down the client area.
  void drag(QPoint from, QPoint to) {
    QString moves;
    for (int step = 1; step <= 4; ++step) {
      moves += " sleep 0.06 mousemove " + At(canvasToScreen(from + (to - from) * step / 4));
    }
    Xdo("mousemove " + At(canvasToScreen(from)) + " mousedown 1" + moves + " sleep 0.1 mouseup 1");
    Pause(300);
  }
  void type(QPoint box, const QString &text) {
    click(box);
    Xdo("windowfocus --sync " + m_window + " type --delay 30 " + text);
    Pause(300);
  }
  QPoint canvasToScreen(QPoint p) const { return m_client + QPoint(0, 29) + p; }
  QImage canvasArea(QRect r) const { return Screen().copy(r.translated(canvasToScreen(QPoint(0, 0)))); }
  bool quitWithCtrlQ() {
    key(QStringLiteral("ctrl+q"));
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(10000);
  }

private:
  QProcess m_process;
  QString m_window;
  QPoint m_client;
};

// Puts the image on the X clipboard: xclip serves it until the next one
// takes the clipboard over, and then ends.
void PutOnClipboard(const QString &png) {
  QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                 QStringLiteral("xclip -selection clipboard -t image/png -i \"$0\" "
                                                                ">/dev/null 2>&1"),
                                                 png});
  Pause(300);
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  const bool installedMode = argc == 5 && QByteArray(argv[1]) == "--installed";
  if (argc != (installedMode ? 5 : 4)) {
    std::fprintf(stderr, "usage: orvelle_drive [--installed] <orvelle> <screen.png> <output folder>\n");
    return 2;
  }
  const QStringList args = QCoreApplication::arguments().mid(installedMode ? 2 : 1);
  const QString samplePath = args[1];
  const QDir out(QFileInfo(args[2]).absoluteFilePath());
  const QImage sample = QImage(samplePath).convertToFormat(QImage::Format_RGB32);
  // The program's folder for trim.ini and the bitmaps, with the save folder
  // already chosen: beside a copy of the program and its library, or for the
  // installed program in the configuration folder.
  const QString config = out.filePath(QStringLiteral("config"));
  const QString programFolder = out.filePath(installedMode ? "config/Orvelle/Orvelle" : "program");
  const QString pictures = out.filePath(QStringLiteral("pictures"));
  const QString installed = installedMode ? args[0] : programFolder + QStringLiteral("/orvelle");
  QDir(programFolder).removeRecursively();
  QDir(pictures).removeRecursively();
  QDir().mkpath(programFolder);
  QDir().mkpath(pictures);
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
  if (!installedMode && (!QFile::copy(args[0], installed) ||
                         !QFile::copy(QFileInfo(args[0]).absolutePath() + QStringLiteral("/libSaveJPG.so"),
                                      programFolder + QStringLiteral("/libSaveJPG.so")))) {
    return 2;
  }
  const QString ini = programFolder + QStringLiteral("/trim.ini");
  const QImage second = sample.mirrored(true, true);
  const QString secondPath = out.filePath(QStringLiteral("second-screen.png"));
  second.save(secondPath);
  orvelle::testing::WriteFile(ini, "[File]\nF_Path=" + QFile::encodeName(pictures) + "\n");

  const QRect frame(100, 80, 300, 220);
  {
    Session s(installed, programFolder);
    Check(s.start(), QStringLiteral("the main window appears and shows its strip"));
    Screen().save(out.filePath(QStringLiteral("1-started.png")));
    PutOnClipboard(samplePath);
    s.command(3);
    Check(WaitFor([&] { return s.canvasArea(sample.rect()) == sample; }),
          QStringLiteral("capture shows the clipboard image pixel for pixel"));
    s.drag(frame.topLeft(), frame.topLeft() + QPoint(frame.width(), frame.height()));
    Screen().save(out.filePath(QStringLiteral("2-frame.png")));
    s.command(4);
    Check(WaitFor([&] { return s.canvasArea(frame) == sample.copy(frame); }),
          QStringLiteral("the trim shows the frame's area over it, without frame lines"));
    Screen().save(out.filePath(QStringLiteral("3-trimmed.png")));

    s.type(QPoint(776 + 25, 4 + 10), QStringLiteral("shot"));
    s.click(QPoint(884 + 50, 4 + 10)); // the quality slider, then to its end
    s.key(QStringLiteral("End"));
    s.command(5);
    s.command(6);
    // Quality 100: within JPEG's tolerance of the picture, far from any other.
    const auto differs = [&](const char *name, const QImage &expected) {
      WaitFor([&] { return QFile::exists(pictures + name); });
      return MeanDifference(QImage(pictures + name), expected);
    };
    const double trimmedDiff = differs("/shot.jpg", sample.copy(frame));
    Check(trimmedDiff < 2.5 && differs("/shot.jpg", sample.copy(frame.translated(40, 40))) > 3 * trimmedDiff,
          QStringLiteral("shot.jpg holds the trimmed area (mean difference %1)").arg(trimmedDiff));
    Check(differs("/shot-org.jpg", sample) < 2.5, QStringLiteral("shot-org.jpg holds the whole capture"));
    Screen().save(out.filePath(QStringLiteral("orvelle-window.png")));

    s.key(QStringLiteral("ctrl+s"));
    WaitFor([&] { return ReadFile(ini).contains("PicRatio="); });
    const QByteArray saved = ReadFile(ini);
    Check(saved.contains("PicStartX=100\n") && saved.contains("PicWidth=300\n") && saved.contains("PicHeight=220\n"),
          QStringLiteral("Ctrl+S stores the frame in trim.ini"));
    Check(s.quitWithCtrlQ(), QStringLiteral("Ctrl+Q ends the program"));
    Check(ReadFile(ini) == saved, QStringLiteral("ending writes nothing to trim.ini"));
  }
  {
    Session s(installed, programFolder);
    Check(s.start(), QStringLiteral("the program starts again"));
    PutOnClipboard(secondPath);
    s.command(3);
    s.key(QStringLiteral("ctrl+l"));
    s.command(4);
    Check(WaitFor([&] { return s.canvasArea(frame) == second.copy(frame); }),
          QStringLiteral("after Ctrl+L the same area is cut out of a new capture"));
    Screen().save(out.filePath(QStringLiteral("4-loaded-and-trimmed.png")));
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
