#pragma once

#include "capture/screen/global_key.h"

#include <QAbstractNativeEventFilter>
#include <QList>

namespace orvelle {

// The key grabbed on the X server's root window, with and without NumLock
// and CapsLock, on the program's own X connection; its presses come among
// the connection's events. A key another client holds is refused.
class X11GlobalKey : public GlobalKey, public QAbstractNativeEventFilter {
  Q_OBJECT

public:
  explicit X11GlobalKey(QObject *parent = nullptr);
  ~X11GlobalKey() override;

  void Bind(const QKeySequence &key) override;
  void Release() override;

  bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override;

private:
  quint8 m_keycode = 0;
  quint16 m_modifiers = 0;
  bool m_down = false;      // pressed and not yet let go
  quint32 m_releasedAt = 0; // when it was last let go (a repeat's release and press share it)
};

} // namespace orvelle
