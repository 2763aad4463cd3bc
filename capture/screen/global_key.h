#pragma once

#include "common/problem.h"

#include <QKeySequence>
#include <QObject>
#include <memory>

namespace orvelle {

// One key held for the whole desktop, whichever window has the focus: on
// an X server a grab on the root window, in a Wayland session the desktop
// portal's GlobalShortcuts. A held key counts once.
class GlobalKey : public QObject {
  Q_OBJECT

public:
  using QObject::QObject;

  // Holds the key (one chord; the one held before is let go): `bound` with
  // what the desktop really holds, or `failed` with why not.
  virtual void Bind(const QKeySequence &key) = 0;
  // Lets the key go.
  virtual void Release() = 0;
  // Whether the desktop lets the user change the key in its own settings
  // (the portal's version 2), and asks it to.
  virtual bool CanConfigure() const { return false; }
  virtual void Configure() {}

signals:
  void pressed();
  void bound(const QString &description);
  void failed(const orvelle::Problem &problem);
};

// The key's road for this session: the portal where WAYLAND_DISPLAY is set
// (also for the program on XWayland), else the X server. The description is
// what the desktop shows of the key's action.
std::unique_ptr<GlobalKey> OpenGlobalKey(const QString &description, QObject *parent = nullptr);

} // namespace orvelle
