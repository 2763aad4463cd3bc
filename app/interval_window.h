#pragma once

#include "capture/screen/screen_grab.h"
#include "core/result.h"

#include <QMargins>
#include <QTimer>
#include <QWidget>

class QLabel;

namespace orvelle {

class IntervalTrim;

// The desktop's size in device pixels, as a grab of it comes.
QSize DesktopPixels();

// The interval trim's small control window "定期トリム": it grabs the screen
// at every tick (sleeping between them), hands each picture to the interval
// trim and shows the count, with one button "停止" (focused). On X11 it stays
// on top in the screen corner farthest from the frame's area; where it would
// still lie on that area, and on Wayland, where a program cannot place its
// window, it hides for each grab. `ended` comes once: done when the user
// stopped it (the button, or closing the window), failed when a save failed.
class IntervalWindow : public QWidget {
  Q_OBJECT

public:
  IntervalWindow(IntervalTrim &trim, int seconds);

signals:
  void ended(const orvelle::Result &result);

protected:
  void closeEvent(QCloseEvent *event) override;
  void moveEvent(QMoveEvent *event) override;

private:
  void PlaceAwayFromFrame();
  QMargins FrameMargins() const;
  void Tick();
  void Grabbed(const ScreenPicture &screen);
  void End(const Result &result);
  void ShowCount();

  IntervalTrim &m_trim;
  QLabel *m_count;
  QTimer m_tick;
  ScreenGrab m_grab;
  bool m_hideForGrab = false;
  bool m_grabbing = false;
  bool m_ended = false;
  QMargins m_placedFrame; // the window manager's frame the place was chosen with
};

} // namespace orvelle
