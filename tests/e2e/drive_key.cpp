// The global key on a real X server: set in its dialog, pressed over another
// window with real key events, held, taken by another client, changed.

#include "capture/screen/x11_key_code.h"
#include "tests/e2e/drive_support.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace drive {

namespace {

// Another X client's grab of Ctrl+Alt and the letter on the root window:
// whether the server let it have the key.
class OtherClient {
public:
  OtherClient() : m_c(xcb_connect(nullptr, nullptr)) {}
  ~OtherClient() { xcb_disconnect(m_c); }
  bool grab(char letter) {
    m_code = orvelle::X11KeyCode(m_c, xcb_keysym_t(letter));
    const xcb_setup_t *setup = xcb_get_setup(m_c);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    xcb_generic_error_t *error =
        xcb_request_check(m_c, xcb_grab_key_checked(m_c, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, m_code,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool free = error == nullptr;
    std::free(error);
    xcb_ungrab_key(m_c, m_code, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
    xcb_flush(m_c);
    return free;
  }
  // Holds the key until the client ends.
  void hold(char letter) {
    grab(letter);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    xcb_grab_key(m_c, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1, m_code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_flush(m_c);
  }

private:
  xcb_connection_t *m_c;
  xcb_keycode_t m_code = 0;
};

} // namespace

void DriveKey(const QString &program, const QString &folder, const QString &pictures, const QImage &sample) {
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  const QImage desktop = sample.scaled(size);
  const QRect frame(200, 150, 400, 300);
  orvelle::testing::WriteFile(
      folder + "/trim.ini", ReadFile(folder + "/trim.ini") +
                                "[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=400\nPicHeight=300\nNewPicStartX=0\n"
                                "NewPicStartY=0\nNewPicWidth=400\nNewPicHeight=300\nPicRatio=0\n[View]\nFormat=png\n");
  const auto files = [&] { return QDir(pictures).entryList({QStringLiteral("key-*.png")}).size(); };
  Backdrop backdrop(desktop);
  Session s(program, folder);
  s.key(QStringLiteral("ctrl+l Tab Tab Tab Tab Tab Tab Tab Tab Tab")); // the frame loaded; the file-name box
  Xdo("windowfocus --sync " + s.window() + " type --delay 30 key");
  OtherClient other;
  Check(other.grab('k'), "with no key set the program holds none");

  // 設定(S) → キーの設定..., the third menu's last entry: the key typed, Return.
  const auto setKey = [&](const QString &chord) {
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Down Up Return"));
    const QString dialog = s.dialog();
    Xdo("windowfocus --sync " + dialog);
    Xdo("key " + chord); // through the server, as a keyboard types
    Pause(300);
    Xdo(QStringLiteral("key Return"));
    return dialog;
  };
  setKey(QStringLiteral("ctrl+alt+k"));
  Check(WaitFor([&] { return ReadFile(folder + "/trim.ini").contains("TrimKey=Ctrl+Alt+K"); }),
        "the key set in its dialog is stored");
  // The main window out of sight, another window focused: the key saves the
  // framed area of what the screen shows, and leaves the windows as they are.
  Xdo("windowunmap --sync " + s.window());
  const QString focused = QString::number(backdrop.winId());
  Xdo("windowfocus --sync " + focused);
  Xdo(QStringLiteral("key ctrl+alt+k"));
  Check(WaitFor([&] { return files() == 1; }) &&
            QImage(pictures + "/key-001.png").convertToFormat(QImage::Format_RGB32) == desktop.copy(frame),
        "the key saves the framed area pixel for pixel");
  Check(Xdo("search --onlyvisible --name ^Orvelle$").isEmpty() && Xdo("getwindowfocus") == focused,
        "the main window is neither shown nor focused by the key");
  Xdo(QStringLiteral("key ctrl+alt+k key ctrl+alt+k"));
  Check(WaitFor([&] { return files() == 3; }), "two presses in quick succession give two files");
  Xdo(QStringLiteral("keydown ctrl+alt+k sleep 1.5 keyup ctrl+alt+k"));
  Check(WaitFor([&] { return files() == 4; }) && (Pause(1500), files() == 4), "a held key gives one file");

  // A key another client holds is refused: the dialog stays; cancelled, the
  // key held before holds again.
  Xdo("windowmap --sync " + s.window());
  other.hold('j');
  const QString dialog = setKey(QStringLiteral("ctrl+alt+j"));
  Pause(1000);
  Check(Xdo("getwindowfocus") == dialog, "a key another program holds keeps the dialog open");
  Xdo("windowfocus --sync " + dialog + " key Escape");
  Check(ReadFile(folder + "/trim.ini").contains("TrimKey=Ctrl+Alt+K"), "a refused key is not stored");
  Xdo(QStringLiteral("key ctrl+alt+k"));
  Check(WaitFor([&] { return files() == 5; }), "after the refusal the key held before works again");

  // A changed key is stored, and the old one no longer held.
  setKey(QStringLiteral("ctrl+alt+m"));
  Check(WaitFor([&] { return ReadFile(folder + "/trim.ini").contains("TrimKey=Ctrl+Alt+M"); }) && other.grab('k'),
        "a changed key is stored and the old one is let go");
  Xdo(QStringLiteral("key ctrl+alt+m"));
  Check(WaitFor([&] { return files() == 6; }), "the new key saves");
  Check(s.quit(), "the program ends cleanly with its key");
}

} // namespace drive
