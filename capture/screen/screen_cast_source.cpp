#include "capture/screen/screen_cast_source.h"

#include "capture/screen/pipewire_stream.h"
#include "capture/screen/screen_cast_session.h"
#include "capture/screen/screen_grab.h"

#include <cmath>
#include <unistd.h>

namespace orvelle {

namespace {
constexpr int kFirstPictureMs = 5000;
constexpr int kUnbounded = 1 << 20; // a desktop larger than any frame reaches
} // namespace

ScreenCastSource::ScreenCastSource(QString token, QObject *parent)
    : ScreenSource(parent), m_token(std::move(token)), m_screenshots(std::make_unique<ScreenGrab>()) {
  connect(m_screenshots.get(), &ScreenSource::grabbed, this, [this](const ScreenPicture &picture) {
    m_asked = false;
    m_desktop = picture.desktop;
    if (m_state == State::Casting && m_stream->size().isEmpty()) {
      m_still = picture;
    }
    emit grabbed(picture);
  });
  connect(m_screenshots.get(), &ScreenSource::failed, this, [this](const Problem &problem) {
    m_asked = false;
    emit failed(problem);
  });
  m_redraw.setSingleShot(true);
  connect(&m_redraw, &QTimer::timeout, this, &ScreenCastSource::Serve);
  m_firstPicture.setSingleShot(true);
  m_firstPicture.setInterval(kFirstPictureMs);
  connect(&m_firstPicture, &QTimer::timeout, this, [this] {
    if (!m_stream->streaming()) {
      FallBack(MakeProblem(ProblemKind::PortalNoAnswer, {QString::number(kFirstPictureMs / 1000)}));
      return;
    }
    // A desktop may send no picture before the screen first changes: until
    // then a screenshot serves, and stands for the screen while nothing comes.
    m_state = State::Casting;
    if (m_asked) {
      Serve();
    }
  });
}

ScreenCastSource::~ScreenCastSource() = default;

void ScreenCastSource::setUnattended(bool unattended) {
  ScreenSource::setUnattended(unattended);
  m_screenshots->setUnattended(unattended);
}

void ScreenCastSource::Start(Choose choose) {
  m_asked = true;
  m_choose = std::move(choose);
  switch (m_state) {
  case State::Idle:
    m_state = State::Opening;
    m_session = std::make_unique<ScreenCastSession>(m_token);
    connect(m_session.get(), &ScreenCastSession::token, this, &ScreenSource::sessionToken);
    connect(m_session.get(), &ScreenCastSession::started, this,
            [this](const ScreenCastStream &stream) { Started(stream.remote, stream.node, stream.logical); });
    connect(m_session.get(), &ScreenCastSession::unavailable, this, &ScreenCastSource::FallBack);
    connect(m_session.get(), &ScreenCastSession::refused, this,
            [this] { End(MakeProblem(ProblemKind::ScreenCastRefused)); });
    connect(m_session.get(), &ScreenCastSession::closed, this,
            [this] { End(MakeProblem(ProblemKind::ScreenCastEnded)); });
    m_session->Open();
    break;
  case State::Opening:
    break; // served by the first picture
  case State::Casting:
    if (!m_redraw.isActive()) {
      Serve();
    }
    break;
  case State::Screenshots:
    Screenshot(m_choose);
    break;
  case State::Over:
    m_asked = false;
    QTimer::singleShot(0, this, [this] { emit ended(m_end); });
    break;
  }
}

void ScreenCastSource::Cancel() {
  m_asked = false;
  m_redraw.stop();
  m_screenshots->Cancel();
}

bool ScreenCastSource::AwaitRedraw() {
  if (m_state == State::Casting) {
    m_after = m_stream->sequence();
    m_redraw.start(kDesktopRedrawMs);
    return true;
  }
  return m_state == State::Idle || m_state == State::Opening; // the stream's first picture comes after this
}

void ScreenCastSource::Started(int remote, unsigned node, QRect logical) {
  if (m_state != State::Opening) {
    ::close(remote);
    return;
  }
  m_logical = logical;
  m_stream = std::make_unique<PipeWireStream>();
  // Of each picture, only the area the last grab chose.
  m_stream->setKeep([this](QSize pixels) {
    const Place place = Placed(pixels);
    return (Chosen(m_choose, place) & place.monitor).translated(-place.monitor.topLeft());
  });
  connect(m_stream.get(), &PipeWireStream::arrived, this, &ScreenCastSource::Arrived);
  connect(m_stream.get(), &PipeWireStream::ended, this, [this] {
    if (m_state == State::Casting) {
      End(MakeProblem(ProblemKind::ScreenCastEnded));
    } else {
      FallBack(MakeProblem(ProblemKind::PortalError, {QStringLiteral("PipeWire"), {}}));
    }
  });
  if (const Expected<void> opened = m_stream->Open(remote, node); !opened) {
    FallBack(opened.problem());
    return;
  }
  m_firstPicture.start();
}

void ScreenCastSource::Arrived() {
  m_still = {};
  if (m_state == State::Opening) {
    m_firstPicture.stop();
    m_state = State::Casting;
    m_after = 0;
  }
  if (m_state == State::Casting && m_asked && m_stream->sequence() > m_after) {
    // Served from the event loop: the stream is in the middle of its callback.
    m_redraw.stop();
    QMetaObject::invokeMethod(this, &ScreenCastSource::Serve, Qt::QueuedConnection);
  }
}

ScreenCastSource::Place ScreenCastSource::Placed(QSize pixels) const {
  // The monitor's device pixels per logical pixel; the desktop's picture is
  // taken at that scale.
  const QRect logical = m_logical.isEmpty() ? QRect(QPoint(0, 0), pixels) : m_logical;
  const double scale = double(pixels.width()) / logical.width();
  const QRect monitor(QPoint(int(std::lround(logical.x() * scale)), int(std::lround(logical.y() * scale))), pixels);
  return {QSize(std::max(0, monitor.right() + 1), std::max(0, monitor.bottom() + 1)), monitor};
}

QRect ScreenCastSource::Chosen(const Choose &choose, const Place &place) {
  const QRect desktop(QPoint(0, 0), place.desktop);
  return choose ? choose(place.desktop) & desktop : desktop;
}

void ScreenCastSource::Serve() {
  m_redraw.stop();
  if (!m_asked || m_state != State::Casting) {
    return;
  }
  if (m_stream->size().isEmpty()) { // streaming, but no picture yet: the screen has not changed
    if (m_still.pixels.isNull() || Chosen(m_choose, {m_still.desktop, {}}) != m_still.area) {
      Screenshot(m_choose);
      return;
    }
    m_asked = false;
    emit grabbed(m_still);
    return;
  }
  const Place place = Placed(m_stream->size());
  // A frame that reaches past the shared monitor may lie on another one,
  // which only a screenshot shows; one tells whether there is any (the
  // desktop's picture larger than the monitor's place makes).
  const QRect unbounded = Chosen(m_choose, {QSize(kUnbounded, kUnbounded), {}});
  if (!place.monitor.contains(unbounded) && m_desktop != place.desktop) {
    if (m_desktop.isValid() && !m_notedElsewhere) {
      m_notedElsewhere = true;
      emit noted(MakeProblem(ProblemKind::ScreenCastFrameElsewhere));
    }
    Screenshot(m_choose);
    return;
  }
  const QRect area = Chosen(m_choose, place);
  if (area.isEmpty()) {
    m_asked = false;
    emit grabbed({place.desktop, area, QImage()});
    return;
  }
  const QImage pixels = m_stream->Copy(area.translated(-place.monitor.topLeft()));
  if (pixels.isNull()) { // an area the stream's pictures have not been kept for (the next ones are)
    Screenshot(m_choose);
    return;
  }
  m_asked = false;
  emit grabbed({place.desktop, area, pixels});
}

void ScreenCastSource::Screenshot(const Choose &choose) { m_screenshots->Start(choose); }

void ScreenCastSource::FallBack(const Problem &problem) {
  if (m_state == State::Screenshots || m_state == State::Over) {
    return;
  }
  qWarning("orvelle: no screen cast (%s %s); the Screenshot portal serves the interval",
           qPrintable(problem.details.value(0)), qPrintable(problem.details.value(1)));
  m_state = State::Screenshots;
  m_firstPicture.stop();
  m_redraw.stop();
  Drop();
  emit noted(MakeProblem(ProblemKind::ScreenCastUnavailable, {}, problem));
  if (m_asked) {
    // A window hidden for this grab needs the desktop's redraw first.
    QTimer::singleShot(kDesktopRedrawMs, this, [this] {
      if (m_asked && m_state == State::Screenshots) {
        Screenshot(m_choose);
      }
    });
  }
}

void ScreenCastSource::End(const Problem &problem) {
  if (m_state == State::Over) {
    return;
  }
  m_state = State::Over;
  m_end = problem;
  m_asked = false;
  m_redraw.stop();
  m_firstPicture.stop();
  Drop();
  emit ended(problem);
}

void ScreenCastSource::Drop() {
  // Gone from the event loop: this may be called from the stream's or the
  // session's signal. The session is closed as it goes.
  if (m_stream != nullptr) {
    m_stream.release()->deleteLater();
  }
  if (m_session != nullptr) {
    m_session.release()->deleteLater();
  }
}

} // namespace orvelle
