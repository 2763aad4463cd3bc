// Continuous trimming on Wayland, run by clipboard.sh inside sway (which
// offers the clipboard control protocol) and weston (which does not).

#include "tests/support/form1_harness.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/test_files.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QSlider>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <cstring>
#include <unistd.h>
#include <wayland-client.h>

using namespace orvelle;
using namespace orvelle::testing;

namespace {

// A picture put on the clipboard through a connection of the test's own:
// asked for its bytes, it writes a PNG's first eight and never closes.
class OwnOffer {
public:
  explicit OwnOffer(const QStringList &types) : m_display(wl_display_connect(nullptr)) {
    static const wl_registry_listener globals = {
        [](void *self, wl_registry *r, uint32_t name, const char *interface, uint32_t) {
          auto &o = *static_cast<OwnOffer *>(self);
          if (std::strcmp(interface, "wl_seat") == 0 && o.m_seat == nullptr) {
            o.m_seat = static_cast<wl_seat *>(wl_registry_bind(r, name, &wl_seat_interface, 1));
          } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
            o.m_manager = static_cast<zwlr_data_control_manager_v1 *>(
                wl_registry_bind(r, name, &zwlr_data_control_manager_v1_interface, 1));
          }
        },
        [](void *, wl_registry *, uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(m_display), &globals, this);
    wl_display_roundtrip(m_display);
    auto *source = zwlr_data_control_manager_v1_create_data_source(m_manager);
    for (const QString &type : types) {
      zwlr_data_control_source_v1_offer(source, type.toUtf8().constData());
    }
    static const zwlr_data_control_source_v1_listener sending = {
        [](void *self, zwlr_data_control_source_v1 *, const char *, int32_t fd) {
          static_cast<OwnOffer *>(self)->m_held.push_back(fd);
          QVERIFY(::write(fd, "\x89PNG\r\n\x1a\n", 8) == 8);
        },
        [](void *, zwlr_data_control_source_v1 *) {}};
    zwlr_data_control_source_v1_add_listener(source, &sending, this);
    zwlr_data_control_device_v1_set_selection(zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat), source);
    wl_display_flush(m_display);
    QObject::connect(&m_events, &QSocketNotifier::activated, [this] { wl_display_dispatch(m_display); });
  }
  ~OwnOffer() {
    for (int fd : m_held) {
      ::close(fd);
    }
    m_events.setEnabled(false);
    wl_display_disconnect(m_display);
  }
  int asked() const { return int(m_held.size()); }

private:
  wl_display *m_display;
  wl_seat *m_seat = nullptr;
  zwlr_data_control_manager_v1 *m_manager = nullptr;
  std::vector<int> m_held;
  QSocketNotifier m_events{wl_display_get_fd(m_display), QSocketNotifier::Read};
};

// Copies a picture as another program does.
void WlCopy(const QString &png) {
  QProcess copy;
  copy.setStandardInputFile(png);
  copy.start(QStringLiteral("wl-copy"), {QStringLiteral("--type"), QStringLiteral("image/png")});
  QVERIFY(copy.waitForFinished(10000) && copy.exitCode() == 0);
}

// The window with a frame of (40, 30), 200 x 150, the name "shot" and
// continuous trimming started.
struct Continuous {
  explicit Continuous(const QString &folder) {
    WriteFile(h.settingsPath(), QStringLiteral("[File]\nF_Path=%1\n[Data]\nPicStartX=40\nPicStartY=30\nPicWidth=200\n"
                                               "PicHeight=150\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=200\n"
                                               "NewPicHeight=150\nPicRatio=0\n")
                                    .arg(folder)
                                    .toUtf8());
    h.start();
    h.form().Command1_Click(); // the frame, loaded
    h.type("Text2", QStringLiteral("shot"));
    h.child<QSlider>("Slider1")->setValue(100);
    h.child<QAction>("M_R_Continuous")->trigger();
  }
  Form1Harness h;
};

} // namespace

class ClipboardWatchTest : public QObject {
  Q_OBJECT

private slots:
  void picturesCopiedElsewhereAreSavedOnce();
  void withoutTheProtocolThePanelSaysSo();
};

void ClipboardWatchTest::picturesCopiedElsewhereAreSavedOnce() {
  QTemporaryDir out;
  Continuous c(out.path());
  QCOMPARE(c.h.text("Panel2"), QStringLiteral("連続トリム中：0 枚"));
  QProcess other; // another program's window takes the focus
  other.start(QStringLiteral("weston-flower"));
  QTRY_VERIFY_WITH_TIMEOUT(!c.h.form().isActiveWindow(), 10000);
  QList<QImage> shots;
  const auto copy = [&](int i) {
    QImage shot = NumberedImage({480, 360}).mirrored(i % 2 == 1, i % 4 >= 2);
    shot.setPixel(50, 40, qRgb(40 * i, 255 - 40 * i, 0)); // no two alike
    shots << shot;
    const QString png = out.filePath(QStringLiteral("copied-%1.png").arg(i));
    QVERIFY(shot.save(png));
    WlCopy(png);
  };
  const auto saved = [&](int n) { return QDir(out.path()).entryList({QStringLiteral("shot-*.jpg")}).size() == n; };
  for (int i = 0; i < 3; ++i) {
    copy(i);
    QTRY_VERIFY_WITH_TIMEOUT(saved(i + 1), 10000);
  }
  // The same picture again, the program's own copy (never even asked for),
  // then a new one: one more file, of the new one.
  WlCopy(out.filePath(QStringLiteral("copied-2.png")));
  {
    OwnOffer own({QStringLiteral("image/png"), QStringLiteral("application/x-orvelle-copy")});
    QTest::qWait(500);
    copy(3);
    QTRY_VERIFY_WITH_TIMEOUT(saved(4), 10000);
    QCOMPARE(own.asked(), 0);
  }
  QVERIFY(!c.h.form().isActiveWindow());
  // A picture that never finishes coming holds the next one back for ten
  // seconds, then is passed over and counted.
  {
    OwnOffer stuck({QStringLiteral("image/png")});
    QTRY_COMPARE_WITH_TIMEOUT(stuck.asked(), 1, 10000);
    copy(4);
    QTRY_VERIFY_WITH_TIMEOUT(saved(5), 15000);
  }
  QCOMPARE(c.h.text("Panel2"), QStringLiteral("連続トリム中：5 枚（読み込めない画像 1 枚）"));
  // With the window focused, each picture is still saved once.
  other.kill();
  QVERIFY(other.waitForFinished());
  QProcess::execute(QStringLiteral("swaymsg"), {QStringLiteral("[title=\"Orvelle\"] focus")});
  QTRY_VERIFY_WITH_TIMEOUT(c.h.form().isActiveWindow(), 10000);
  copy(5);
  QTRY_VERIFY_WITH_TIMEOUT(saved(6), 10000);
  QTest::qWait(1000);
  QVERIFY(saved(6));
  for (int i = 0; i < 6; ++i) {
    const QImage file(out.filePath(QStringLiteral("shot-%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0'))));
    QVERIFY2(MeanDifference(file, shots[i].copy(40, 30, 200, 150)) < 3, qPrintable(QString::number(i)));
  }
}

void ClipboardWatchTest::withoutTheProtocolThePanelSaysSo() {
  QTemporaryDir out;
  Continuous c(out.path());
  QVERIFY(c.h.child<QAction>("M_R_Continuous")->isChecked());
  QCOMPARE(c.h.text("Panel2"),
           QStringLiteral("このデスクトップでは、Orvelle のウィンドウがアクティブな間だけクリップボードを見られます"));
}

ORVELLE_QTEST_MAIN(ClipboardWatchTest)
#include "clipboard_watch_test.moc"
