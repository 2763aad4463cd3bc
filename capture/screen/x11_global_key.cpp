#include "capture/screen/x11_global_key.h"

#include "capture/screen/x11_key_code.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace orvelle {

namespace {
xcb_connection_t *Connection() {
  const auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t *c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

// The X key symbol of a Qt key: letters, digits, the function keys and a few
// others that a global key is made of.
xcb_keysym_t KeySymbol(Qt::Key key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return xcb_keysym_t(key - Qt::Key_A + 'a');
  }
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space) {
    return xcb_keysym_t(key);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
    return xcb_keysym_t(0xffbe + (key - Qt::Key_F1));
  }
  switch (key) {
  case Qt::Key_Print:
    return 0xff61;
  case Qt::Key_Pause:
    return 0xff13;
  case Qt::Key_Insert:
    return 0xff63;
  case Qt::Key_Home:
    return 0xff50;
  case Qt::Key_End:
    return 0xff57;
  case Qt::Key_PageUp:
    return 0xff55;
  case Qt::Key_PageDown:
    return 0xff56;
  default:
    return 0;
  }
}

quint16 ModifierMask(Qt::KeyboardModifiers modifiers) {
  quint16 mask = 0;
  mask |= modifiers & Qt::ShiftModifier ? XCB_MOD_MASK_SHIFT : 0;
  mask |= modifiers & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0;
  mask |= modifiers & Qt::AltModifier ? XCB_MOD_MASK_1 : 0;
  mask |= modifiers & Qt::MetaModifier ? XCB_MOD_MASK_4 : 0;
  return mask;
}

// The key with and without CapsLock (Lock) and NumLock (Mod2).
constexpr quint16 kLocks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
} // namespace

X11GlobalKey::X11GlobalKey(QObject *parent) : GlobalKey(parent) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalKey::~X11GlobalKey() {
  Release();
  QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11GlobalKey::Bind(const QKeySequence &key) {
  Release();
  xcb_connection_t *c = Connection();
  const QString text = key.toString(QKeySequence::PortableText);
  if (c == nullptr) {
    emit failed(MakeProblem(ProblemKind::KeyNoDesktop));
    return;
  }
  const QKeyCombination chord = key[0];
  const xcb_keycode_t code = X11KeyCode(c, KeySymbol(chord.key()));
  if (code == 0) {
    emit failed(MakeProblem(ProblemKind::KeyUnsupported, {text}));
    return;
  }
  const quint16 modifiers = ModifierMask(chord.keyboardModifiers());
  bool taken = false;
  for (const quint16 lock : kLocks) {
    const xcb_void_cookie_t grab =
        xcb_grab_key_checked(c, 1, Root(c), modifiers | lock, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t *error = xcb_request_check(c, grab)) {
      taken = taken || error->error_code == XCB_ACCESS;
      std::free(error);
    }
  }
  if (taken) {
    for (const quint16 lock : kLocks) {
      xcb_ungrab_key(c, code, Root(c), modifiers | lock);
    }
    xcb_flush(c);
    emit failed(MakeProblem(ProblemKind::KeyTaken, {text}));
    return;
  }
  m_keycode = code;
  m_modifiers = modifiers;
  m_down = false;
  emit bound(key.toString(QKeySequence::NativeText));
}

void X11GlobalKey::Release() {
  xcb_connection_t *c = Connection();
  if (m_keycode != 0 && c != nullptr) {
    for (const quint16 lock : kLocks) {
      xcb_ungrab_key(c, m_keycode, Root(c), m_modifiers | lock);
    }
    xcb_flush(c);
  }
  m_keycode = 0;
}

bool X11GlobalKey::nativeEventFilter(const QByteArray &type, void *message, qintptr *) {
  if (m_keycode == 0 || type != "xcb_generic_event_t") {
    return false;
  }
  const auto *event = static_cast<xcb_generic_event_t *>(message);
  const int kind = event->response_type & 0x7f;
  if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) {
    return false;
  }
  const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
  if (key->detail != m_keycode) {
    return false;
  }
  // The key is let go whatever modifiers are still held then.
  if (kind == XCB_KEY_RELEASE) {
    m_down = false;
    m_releasedAt = key->time;
    return false;
  }
  const quint16 locks = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;
  if ((key->state & ~locks & 0xff) != m_modifiers) {
    return false;
  }
  // A held key repeats: the server sends a release and a press at the same
  // time (or presses alone, where it is asked to tell repeats apart).
  const bool repeat = m_down || key->time == m_releasedAt;
  m_down = true;
  if (!repeat) {
    emit pressed();
  }
  return true;
}

} // namespace orvelle
