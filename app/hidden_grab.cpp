#include "app/hidden_grab.h"

#include "batch/cli/problem_words.h"

#include <QTimer>
#include <QWidget>

namespace orvelle {

HiddenGrab::HiddenGrab(QWidget &window, Done done)
    : QObject(&window), m_window(window), m_done(std::move(done)), m_source(OpenScreenSource()) {
  connect(m_source.get(), &ScreenSource::grabbed, this,
          [this](const ScreenPicture &picture) { End(&picture, QString()); });
  connect(m_source.get(), &ScreenSource::failed, this,
          [this](const Problem &problem) { End(nullptr, Words(problem)); });
}

void HiddenGrab::Start() {
  if (m_grabbing) {
    return;
  }
  m_grabbing = true;
  m_window.hide();
  // The window is unmapped as the event loop goes on; the desktop's next
  // frames show what lay under it.
  QTimer::singleShot(kDesktopRedrawMs, this, [this] { m_source->Start({}); });
}

void HiddenGrab::End(const ScreenPicture *picture, const QString &problem) {
  m_grabbing = false;
  m_done(picture, problem);
}

} // namespace orvelle
