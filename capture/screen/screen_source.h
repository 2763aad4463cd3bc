#pragma once

#include "common/problem.h"

#include <QImage>
#include <QObject>
#include <QRect>
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

// Where pictures of the screen come from. Asked for one picture, a source
// answers once, as a signal in the caller's thread: the picture (of which
// only the part `choose` picks for the desktop's size need be at hand), or
// the problem. A source that must ask someone (the X server, the desktop
// portal) answers from the event loop; one that already holds the latest
// picture may answer before Start returns.
class ScreenSource : public QObject {
  Q_OBJECT

public:
  using Choose = std::function<QRect(QSize desktop)>;

  using QObject::QObject;

  virtual void Start(Choose choose) = 0;
  // Drops the request under way: no answer comes for it.
  virtual void Cancel() = 0;
  // Asked for without a window of the program's in front (the command line,
  // the interval): a desktop that must ask the user is waited for less long.
  virtual void setUnattended(bool unattended) { m_unattended = unattended; }
  // Asks that the next picture be one the desktop drew after this call (a
  // window was just hidden): true where the source sees each redraw and
  // will wait for it; else the caller gives the desktop kDesktopRedrawMs.
  virtual bool AwaitRedraw() { return false; }

signals:
  void grabbed(const orvelle::ScreenPicture &picture);
  void failed(const orvelle::Problem &problem);
  // Something the user should know once about how the pictures are taken.
  void noted(const orvelle::Problem &problem);
  // No picture will come any more (the user refused, or ended, the sharing
  // of the screen); a request under way is dropped.
  void ended(const orvelle::Problem &problem);
  // The desktop's token for taking the screen again without asking, to be
  // kept for the next run.
  void sessionToken(const QString &token);

protected:
  // The whole picture, or only the part `choose` picks, as the answer.
  void Answer(const ScreenPicture &picture, const Choose &choose);

  bool m_unattended = false;
};

// The screen's source for this run: the desktop (the X server, or the
// desktop portal in a Wayland session), or the pictures the environment
// variable ORVELLE_SCREEN_SOURCE names as file:PATH (a picture, or a folder
// whose pictures are served one after another in the order of their names'
// bytes, the last again after the end), as a screen of that picture's size.
std::unique_ptr<ScreenSource> OpenScreenSource(QObject *parent = nullptr);
// The source for a series of grabs at an interval: as above, but in a
// Wayland session one screen cast of the desktop portal, asked for once (with
// the token a desktop answered last time), whose stream serves every grab.
std::unique_ptr<ScreenSource> OpenIntervalSource(const QString &token, QObject *parent = nullptr);

} // namespace orvelle
