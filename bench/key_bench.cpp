// The global key on a 3840 x 2160 X display (a 1600 x 900 frame at 200,150,
// quality 80): from the key events the benchmark sends itself (XTEST's fake
// input, on a connection of its own) to the file in the folder, the median of 20 presses a second apart,
// beside one orvelle-trim --screen process measured in the same run; and what
// holding the key costs while nothing is pressed. Run under an X server of
// that size (scripts/bench.sh).

#include "bench/bench_util.h"
#include "bench/desktop_window.h"
#include "capture/screen/screen_grab.h"
#include "capture/screen/x11_global_key.h"
#include "capture/screen/x11_key_code.h"
#include "core/screen_runner.h"
#include "export/jpeg_library.h"
#include "resources/tools/synthetic_screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <sys/resource.h>
#include <sys/uio.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

using namespace orvelle;

namespace {
// Ctrl+Alt+G pressed and let go through the X server's XTEST extension, as
// a keyboard would type it.
class Typist {
public:
  Typist() : m_c(xcb_connect(nullptr, nullptr)) {
    m_keys = {X11KeyCode(m_c, 0xffe3), X11KeyCode(m_c, 0xffe9), X11KeyCode(m_c, 'g')}; // Control_L, Alt_L, g
  }
  ~Typist() { xcb_disconnect(m_c); }
  void type() {
    for (const quint8 key : m_keys) {
      fake(2, key); // KeyPress
    }
    for (auto key = m_keys.rbegin(); key != m_keys.rend(); ++key) {
      fake(3, *key); // KeyRelease
    }
    xcb_flush(m_c);
  }

private:
  // XTEST's FakeInput request, whose first four bytes xcb fills in.
  void fake(quint8 type, quint8 detail) {
    struct {
      quint8 major, minor;
      quint16 length;
      quint8 type, detail, pad0[2];
      quint32 time, root;
      quint8 pad1[8];
      qint16 rootX, rootY;
      quint8 pad2[7], device;
    } request{};
    static_assert(sizeof(request) == 36);
    request.type = type;
    request.detail = detail;
    static xcb_extension_t xtest = {"XTEST", 0};
    const xcb_protocol_request_t kind = {1, &xtest, 2, 1};
    iovec parts[3] = {};
    parts[2].iov_base = &request;
    parts[2].iov_len = sizeof(request);
    xcb_send_request(m_c, 0, parts + 2, &kind);
  }

  xcb_connection_t *m_c;
  std::vector<quint8> m_keys;
};

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  bench::Desktop desktop(size);
  QTemporaryDir dir;
  const auto library = ResolveSavePixelstoJPEG(JpegLibraryPath(QCoreApplication::applicationDirPath()));
  if (!library) {
    std::printf("the JPEG library is missing\n");
    return 1;
  }
  ScreenPlan plan;
  plan.frame = {{200, 150, 1600, 900}, {0, 0, 1600, 900}};
  plan.target = {dir.path(), QStringLiteral("key"), 80, *library, PictureFormat::Jpeg};
  plan.onlyChanged = false;
  ScreenGrab source;
  ScreenRunner runner(source, plan);
  X11GlobalKey key;
  bool bound = false;
  QObject::connect(&key, &GlobalKey::bound, [&] { bound = true; });
  QObject::connect(&key, &GlobalKey::pressed, [&] { runner.Press(plan); });
  key.Bind(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G));
  if (!bound) {
    std::printf("Ctrl+Alt+G could not be held\n");
    return 1;
  }
  const auto files = [&] { return QDir(dir.path()).entryList(QDir::Files).size(); };
  Typist typist;
  std::vector<double> times;
  QElapsedTimer clock;
  QObject::connect(&runner, &ScreenRunner::stepped, [&] { times.push_back(double(clock.nsecsElapsed()) / 1e6); });
  for (int i = 0; i < 20; ++i) {
    QEventLoop second;
    QTimer::singleShot(1000, &second, &QEventLoop::quit);
    second.exec();
    const qsizetype before = files();
    clock.start();
    typist.type();
    QEventLoop saved;
    QObject::connect(&runner, &ScreenRunner::stepped, &saved, &QEventLoop::quit);
    QTimer::singleShot(10000, &saved, &QEventLoop::quit);
    saved.exec();
    if (files() != before + 1) {
      std::printf("a press saved no file\n");
      return 1;
    }
  }
  std::sort(times.begin(), times.end());
  const double ours = times[times.size() / 2];
  QDir(dir.path()).removeRecursively();
  QDir().mkpath(dir.path());
  const QString ini = dir.filePath(QStringLiteral("trim.ini"));
  if (!bench::WriteBenchFrame(ini)) {
    return 1;
  }
  const double process = bench::MedianMs(20, [&] {
    bench::RunProcess(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"),
                      {QStringLiteral("--screen"), QStringLiteral("--settings"), ini, QStringLiteral("--quality"),
                       QStringLiteral("80"), QStringLiteral("--output"), dir.path()});
  });
  std::printf("The global key on a %dx%d X display, a 1600x900 frame at quality 80:\n", size.width(), size.height());
  bench::Report("key press to file (the running program)", ours, "one orvelle-trim --screen process", process,
                "0.5 or less");
  // Held and not pressed: no timer, no work.
  const double start = ProcessorSeconds();
  QEventLoop idle;
  QTimer::singleShot(5000, &idle, &QEventLoop::quit);
  idle.exec();
  std::printf("%-44s %9.3f %% of one core   (goal: 0.1 or less)\n", "key held, not pressed, CPU",
              100.0 * (ProcessorSeconds() - start) / 5.0);
  return 0;
}
