#pragma once

#include "core/screen_runner.h"

#include <QMargins>
#include <QWidget>
#include <memory>

class QLabel;

namespace orvelle {

// The desktop's size in device pixels, as a grab of it comes.
QSize DesktopPixels();

// The interval trim's small control window "定期トリム": it runs a screen
// series at every tick (sleeping between them) and shows the count of files
// saved and of failed grabs, with one button "停止" (focused). On X11 it stays
// on top in the screen corner farthest from the frame's area; where it would
// still lie on that area, and on Wayland, where a program cannot place its
// window, it hides for each grab. On Wayland one screen cast serves the
// grabs, whose token is kept in trim.ini for the next time. `ended` comes
// once: done when the user stopped it (the button, or closing the window),
// failed when a save failed or the screen's sharing was refused or ended;
// with the number of files saved and what the user should know of how the
// screen was taken (or nothing).
class IntervalWindow : public QWidget {
  Q_OBJECT

public:
  IntervalWindow(const ScreenPlan &plan, int seconds, const QString &settingsPath);

signals:
  void ended(const orvelle::Expected<void> &result, int saved, const QString &note);

protected:
  void closeEvent(QCloseEvent *event) override;
  void moveEvent(QMoveEvent *event) override;

private:
  void PlaceAwayFromFrame();
  QMargins FrameMargins() const;
  void BeforeGrab(const std::function<void()> &go);
  void Stepped(const ScreenStep &step);
  void End(const Expected<void> &result);
  void ShowCount();

  QLabel *m_count;
  std::unique_ptr<ScreenSource> m_source;
  ScreenRunner *m_runner;
  bool m_hideForGrab = false;
  bool m_first = true; // the first grab waits for the main window to go
  bool m_ended = false;
  QString m_note;
  QMargins m_placedFrame; // the window manager's frame the place was chosen with
};

} // namespace orvelle
