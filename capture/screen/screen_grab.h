#pragma once

#include "capture/screen/screen_source.h"
#include "common/expected.h"

#include <QPointer>
#include <QString>
#include <QWindow>
#include <memory>

namespace orvelle {

// Grabs the desktop's pixels, or says why it cannot: in a Wayland session
// (WAYLAND_DISPLAY set, also beside DISPLAY, since XWayland shows only X
// programs' windows) through the desktop portal's Screenshot interface, non
// interactive; else the X server's root window, of which only the part
// chosen is read. Unattended (the command line, the interval), a portal's
// answer is awaited 30 seconds instead of 120, and a refusal is told as one
// the desktop may have made without asking the user.
class ScreenGrab : public ScreenSource {
  Q_OBJECT

public:
  explicit ScreenGrab(QObject *parent = nullptr);
  ~ScreenGrab() override;

  void Start(Choose choose = {}) override;
  void Cancel() override;
  // The window the grabs are asked for: while it is shown on an X server
  // (XWayland), the portal is told its id, as "x11:<id in hex>".
  void setParentWindow(QWindow *window) { m_parent = window; }

private:
  std::unique_ptr<QObject> m_request; // a request under way
  QPointer<QWindow> m_parent;
};

// The X server's root window: the part `choose` picks, or why not.
Expected<ScreenPicture> GrabX11(const ScreenSource::Choose &choose);

// The picture file a portal answered with: read when it is a regular file of
// this user's, and removed when it lies in a temporary folder, where others
// could read it. The picture, or why not.
Expected<QImage> TakePortalFile(const QString &path);

} // namespace orvelle
