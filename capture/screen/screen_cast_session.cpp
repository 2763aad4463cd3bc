#include "capture/screen/screen_cast_session.h"

#include "capture/screen/portal_request.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QRandomGenerator>
#include <fcntl.h>

namespace orvelle {

namespace {
const QString kInterface = QStringLiteral("org.freedesktop.portal.ScreenCast");
constexpr int kAnswerMs = 30000;
// Starting may show the desktop's dialog, which waits for the user.
constexpr int kStartAnswerMs = 120000;
constexpr uint kMonitors = 1;
constexpr uint kCursorHidden = 1;
constexpr uint kPersistUntilRevoked = 2;

// A point or size (ii) of the stream's properties.
QPoint Pair(const QVariant &value) {
  int x = 0, y = 0;
  if (value.canConvert<QDBusArgument>()) {
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginStructure();
    argument >> x >> y;
    argument.endStructure();
  }
  return {x, y};
}
} // namespace

ScreenCastSession::ScreenCastSession(QString token, QObject *parent) : QObject(parent), m_token(std::move(token)) {}

ScreenCastSession::~ScreenCastSession() {
  if (!m_session.isEmpty()) {
    PortalBus().call(QDBusMessage::createMethodCall(kPortalService, m_session,
                                                    QStringLiteral("org.freedesktop.portal.Session"),
                                                    QStringLiteral("Close")),
                     QDBus::NoBlock);
  }
}

void ScreenCastSession::Open() {
  // The interface's properties first: none means no screen cast here.
  QDBusMessage get = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
  get << kInterface;
  auto *watcher = new QDBusPendingCallWatcher(PortalBus().asyncCall(get, kAnswerMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
    w->deleteLater();
    const QDBusPendingReply<QVariantMap> reply = *w;
    const QVariantMap properties = reply.isError() ? QVariantMap() : reply.value();
    if (!properties.contains(QStringLiteral("version"))) {
      const QDBusError error = reply.error();
      emit unavailable(MakeProblem(ProblemKind::PortalError, {error.message(), error.name()}));
      return;
    }
    const uint version = properties.value(QStringLiteral("version")).toUInt();
    const uint cursorModes = properties.value(QStringLiteral("AvailableCursorModes")).toUInt();
    const QString handle = QStringLiteral("orvelle%1").arg(QRandomGenerator::global()->generate());
    Ask(QStringLiteral("CreateSession"), {QVariantMap{{QStringLiteral("session_handle_token"), handle}}}, kAnswerMs,
        [this, version, cursorModes](uint code, const QVariantMap &results) {
          // A path as text, or (from some portals) as an object path.
          const QVariant session = results.value(QStringLiteral("session_handle"));
          m_session = session.toString().isEmpty() ? session.value<QDBusObjectPath>().path() : session.toString();
          if (code != 0 || m_session.isEmpty()) {
            emit unavailable(MakeProblem(ProblemKind::PortalError, {QStringLiteral("CreateSession %1").arg(code), {}}));
            return;
          }
          PortalBus().connect(kPortalService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
                              QStringLiteral("Closed"), this, SLOT(Closed()));
          SelectSources(version, cursorModes);
        });
  });
}

void ScreenCastSession::Ask(const QString &method, const QVariantList &arguments, int timeoutMs,
                            const std::function<void(uint, const QVariantMap &)> &then) {
  auto *request = new PortalRequest(kInterface, method, arguments, timeoutMs, this);
  connect(request, &PortalRequest::answered, this, [request, then](uint code, const QVariantMap &results) {
    request->deleteLater();
    then(code, results);
  });
  connect(request, &PortalRequest::failed, this, [this, request, method](const Problem &problem) {
    request->deleteLater();
    // No answer to the start: the user has not allowed it.
    if (method == QLatin1String("Start") && problem.kind == ProblemKind::PortalNoAnswer) {
      emit refused();
    } else {
      emit unavailable(problem);
    }
  });
  request->Start();
}

void ScreenCastSession::SelectSources(uint version, uint cursorModes) {
  QVariantMap options{{QStringLiteral("types"), kMonitors}, {QStringLiteral("multiple"), false}};
  if ((cursorModes & kCursorHidden) != 0) {
    options[QStringLiteral("cursor_mode")] = kCursorHidden; // a moving pointer would be a change at every tick
  }
  if (version >= 4) {
    options[QStringLiteral("persist_mode")] = kPersistUntilRevoked;
    if (!m_token.isEmpty()) {
      options[QStringLiteral("restore_token")] = m_token;
    }
  }
  Ask(QStringLiteral("SelectSources"), {QVariant::fromValue(QDBusObjectPath(m_session)), options}, kStartAnswerMs,
      [this](uint code, const QVariantMap &) {
        if (code != 0) {
          Unanswered(QStringLiteral("SelectSources"), code);
          return;
        }
        StartCast();
      });
}

void ScreenCastSession::StartCast() {
  Ask(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(m_session)), QString(), QVariantMap()},
      kStartAnswerMs, [this](uint code, const QVariantMap &results) {
        if (code != 0) {
          Unanswered(QStringLiteral("Start"), code);
          return;
        }
        if (const QString next = results.value(QStringLiteral("restore_token")).toString(); !next.isEmpty()) {
          emit token(next);
        }
        OpenRemote(results);
      });
}

void ScreenCastSession::Unanswered(const QString &method, uint code) {
  // 1: the user cancelled; another code: the desktop could not do it.
  if (code == 1) {
    emit refused();
  } else {
    emit unavailable(MakeProblem(ProblemKind::PortalError, {QStringLiteral("%1 %2").arg(method).arg(code), {}}));
  }
}

void ScreenCastSession::OpenRemote(const QVariantMap &results) {
  ScreenCastStream stream;
  bool found = false;
  if (const QVariant streams = results.value(QStringLiteral("streams")); streams.canConvert<QDBusArgument>()) {
    const QDBusArgument argument = streams.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd() && !found) {
      QVariantMap properties;
      argument.beginStructure();
      argument >> stream.node >> properties;
      argument.endStructure();
      found = true;
      if (properties.contains(QStringLiteral("size"))) {
        const QPoint size = Pair(properties.value(QStringLiteral("size")));
        stream.logical = QRect(Pair(properties.value(QStringLiteral("position"))), QSize(size.x(), size.y()));
      }
    }
    argument.endArray();
  }
  if (!found) {
    emit unavailable(MakeProblem(ProblemKind::PortalError, {QStringLiteral("no stream"), {}}));
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, kPortalPath, kInterface, QStringLiteral("OpenPipeWireRemote"));
  call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariantMap();
  auto *watcher = new QDBusPendingCallWatcher(PortalBus().asyncCall(call, kAnswerMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, stream](QDBusPendingCallWatcher *w) mutable {
    w->deleteLater();
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
    if (reply.isError() || !reply.value().isValid()) {
      const QDBusError error = reply.error();
      emit unavailable(MakeProblem(ProblemKind::PortalError, {error.message(), error.name()}));
      return;
    }
    stream.remote = fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
    if (stream.remote < 0) {
      emit unavailable(MakeProblem(ProblemKind::OutOfMemory));
      return;
    }
    emit started(stream);
  });
}

void ScreenCastSession::Closed() {
  if (m_over) {
    return;
  }
  m_over = true;
  m_session.clear(); // closed already
  emit closed();
}

} // namespace orvelle
