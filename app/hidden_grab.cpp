#include "app/hidden_grab.h"

#include <QTimer>
#include <QWidget>

namespace orvelle {

HiddenGrab::HiddenGrab(QWidget &window, Done done) : QObject(&window), m_window(window), m_done(std::move(done)) {}

void HiddenGrab::Start() {
  if (m_grab) {
    return;
  }
  m_grab = new ScreenGrab(this);
  connect(m_grab, &ScreenGrab::grabbed, this, [this](const ScreenPicture &picture) { End(&picture, QString()); });
  connect(m_grab, &ScreenGrab::failed, this, [this](const QString &problem) { End(nullptr, problem); });
  m_window.hide();
  // The window is unmapped as the event loop goes on; the desktop's next
  // frames show what lay under it.
  QTimer::singleShot(kDesktopRedrawMs, m_grab, [grab = m_grab] { grab->Start(); });
}

void HiddenGrab::End(const ScreenPicture *picture, const QString &problem) {
  m_grab->deleteLater();
  m_done(picture, problem);
}

} // namespace orvelle
