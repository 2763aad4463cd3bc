#pragma once

#include "capture/screen/screen_source.h"

#include <QTimer>
#include <memory>

namespace orvelle {

class PipeWireStream;
class ScreenCastSession;
class ScreenGrab;

// The desktop through one screen cast of the desktop portal: the session is
// asked for at the first grab and then serves every grab from the latest
// picture its stream holds, at once, converting only the area chosen. The
// desktop's picture is the shared monitor's, placed where the portal says
// it lies, in the monitor's device pixels. Where there is no screen cast,
// or its stream cannot be set up, every grab goes through the Screenshot
// portal instead, and a grab whose frame reaches past the shared monitor
// does too where the desktop is larger than that monitor (a screenshot
// tells); each is noted once. A refused or ended sharing ends the source.
class ScreenCastSource : public ScreenSource {
  Q_OBJECT

public:
  explicit ScreenCastSource(QString token, QObject *parent = nullptr);
  ~ScreenCastSource() override;

  void Start(Choose choose) override;
  void Cancel() override;
  void setUnattended(bool unattended) override;
  bool AwaitRedraw() override;

private:
  enum class State { Idle, Opening, Casting, Screenshots, Over };
  // The desktop's picture, and where in it the monitor's lies, for the
  // stream's pictures of this size.
  struct Place {
    QSize desktop;
    QRect monitor;
  };

  Place Placed(QSize pixels) const;
  static QRect Chosen(const Choose &choose, const Place &place);
  void Started(int remote, unsigned node, QRect logical);
  void FallBack(const Problem &problem);
  void End(const Problem &problem);
  void Arrived();
  void Serve();
  void Screenshot(const Choose &choose);
  void Drop();

  QString m_token;
  State m_state = State::Idle;
  std::unique_ptr<ScreenCastSession> m_session;
  std::unique_ptr<PipeWireStream> m_stream;
  std::unique_ptr<ScreenGrab> m_screenshots;
  QRect m_logical;       // the monitor's place, in logical pixels
  bool m_asked = false;  // a grab is under way
  Choose m_choose;       // its choice, or the last grab's (which the stream keeps to)
  quint64 m_after = 0;   // it waits for a picture newer than this
  QTimer m_redraw;       // or this long, where the desktop draws nothing new
  QTimer m_firstPicture; // how long a new stream may take to give its first picture
  QSize m_desktop;       // the desktop's size as the last screenshot showed it
  bool m_notedElsewhere = false;
  ScreenPicture m_still; // a screenshot that stands for the screen until the stream's first picture
  Problem m_end{ProblemKind::ScreenCastEnded, {}, nullptr}; // why the source ended
};

} // namespace orvelle
