#pragma once

#include "capture/screen/screen_source.h"

#include <functional>
#include <memory>

class QWidget;

namespace orvelle {

// A grab of the whole desktop without the window in it: the window hides,
// the desktop gets the time to redraw what lay under it, and the grab is
// made. Then `done` gets the picture, or the message for the user, and shows
// the window again. One grab at a time: a second one asked for meanwhile is
// passed over.
class HiddenGrab : public QObject {
  Q_OBJECT

public:
  using Done = std::function<void(const ScreenPicture *picture, const QString &problem)>;

  HiddenGrab(QWidget &window, Done done);
  void Start();

private:
  void End(const ScreenPicture *picture, const QString &problem);

  QWidget &m_window;
  Done m_done;
  std::unique_ptr<ScreenSource> m_source;
  bool m_grabbing = false;
};

} // namespace orvelle
