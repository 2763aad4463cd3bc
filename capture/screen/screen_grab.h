#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

namespace orvelle {

// A picture of the desktop (every screen), in device pixels.
struct ScreenPicture {
  QSize desktop; // the whole desktop's size
  QRect area;    // the part whose pixels are at hand, inside the desktop
  QImage pixels; // those pixels, opaque RGB32
};

// What the desktop takes to redraw the area a window leaves, before a grab
// that must not show the window.
inline constexpr int kDesktopRedrawMs = 200;

// The first line of every failed grab's message.
inline const QString kGrabFailed = QStringLiteral("画面を取り込めませんでした");

// Grabs the desktop's pixels, or says why it cannot: in a Wayland session
// (WAYLAND_DISPLAY set, also beside DISPLAY, since XWayland shows only X
// programs' windows) through the desktop portal's Screenshot interface, non
// interactive; else the X server's root window. `choose` picks the part of the
// desktop that is needed for its size (all of it when none is given); the X11
// grab reads only that part. The answer comes once, as a signal in the
// caller's thread: the picture, or the message for the user (kGrabFailed and
// the reason on a second line).
class ScreenGrab : public QObject {
  Q_OBJECT

public:
  using Choose = std::function<QRect(QSize desktop)>;

  explicit ScreenGrab(QObject *parent = nullptr);
  ~ScreenGrab() override;

  void Start(Choose choose = {});
  // Grabs asked for without a window of the program's in front (the command
  // line, the interval): a portal's answer is awaited 30 seconds instead of
  // 120, and a refusal says how the user may grant the grab once.
  void setUnattended(bool unattended) { m_unattended = unattended; }

signals:
  void grabbed(const orvelle::ScreenPicture &picture);
  void failed(const QString &message);

private:
  void Answer(const ScreenPicture &picture);
  void Fail(const QString &reason);

  std::unique_ptr<QObject> m_portal; // a request to the desktop portal
  Choose m_choose;
  bool m_unattended = false;
};

// The X server's root window: the part `choose` picks, or why not.
std::variant<ScreenPicture, QString> GrabX11(const ScreenGrab::Choose &choose);

// The picture file a portal answered with: read when it is a regular file of
// this user's, and removed when it lies in a temporary folder, where others
// could read it. The picture, or why not.
std::variant<QImage, QString> TakePortalFile(const QString &path);

} // namespace orvelle
