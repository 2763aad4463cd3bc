#include "capture/screen/portal_request.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>

namespace orvelle {

QDBusConnection PortalBus() {
  static const QDBusConnection bus =
      QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("orvelle-portal"));
  return bus;
}

void RegisterOnce(QObject *context, const std::function<void()> &then) {
  static bool registered = false;
  QDBusConnection bus = PortalBus();
  if (registered || !bus.isConnected()) {
    then();
    return;
  }
  registered = true;
  QDBusMessage name = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
  name << QStringLiteral("io.orvelle.Orvelle") << QVariantMap();
  auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(name, 5000), context);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [then](QDBusPendingCallWatcher *w) {
    w->deleteLater();
    then();
  });
}

PortalRequest::PortalRequest(QString interface, QString method, QVariantList arguments, int timeoutMs, QObject *parent)
    : QObject(parent), m_interface(std::move(interface)), m_method(std::move(method)),
      m_arguments(std::move(arguments)) {
  m_timeout.setSingleShot(true);
  m_timeout.setInterval(timeoutMs);
  connect(&m_timeout, &QTimer::timeout, this, [this] {
    Finish([this] {
      emit failed(MakeProblem(ProblemKind::PortalNoAnswer, {QString::number(m_timeout.interval() / 1000)}));
    });
  });
}

PortalRequest::~PortalRequest() { Listen(QString()); }

void PortalRequest::Start() {
  QDBusConnection bus = PortalBus();
  if (!bus.isConnected()) {
    QTimer::singleShot(0, this, [this] { Finish([this] { emit failed(MakeProblem(ProblemKind::PortalNoBus)); }); });
    return;
  }
  RegisterOnce(this, [this] {
    QDBusConnection bus = PortalBus();
    const QString token = QStringLiteral("orvelle%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    // Listening before asking: the answer may come before the call returns.
    Listen(QStringLiteral("%1/request/%2/%3").arg(kPortalPath, sender, token));
    QVariantList arguments = m_arguments;
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    options[QStringLiteral("handle_token")] = token;
    arguments << options;
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, m_interface, m_method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_timeout.interval()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
      w->deleteLater();
      const QDBusPendingReply<QDBusObjectPath> reply = *w;
      if (reply.isError()) {
        const QDBusError error = reply.error();
        Finish([this, error] { emit failed(MakeProblem(ProblemKind::PortalError, {error.message(), error.name()})); });
      } else if (reply.value().path() != m_path) {
        Listen(reply.value().path()); // an older portal chose its own path
      }
    });
    m_timeout.start();
  });
}

void PortalRequest::Response(uint code, const QVariantMap &results) {
  Finish([&] { emit answered(code, results); });
}

void PortalRequest::Listen(const QString &path) {
  QDBusConnection bus = PortalBus();
  const QString request = QStringLiteral("org.freedesktop.portal.Request");
  if (!m_path.isEmpty()) {
    bus.disconnect(kPortalService, m_path, request, QStringLiteral("Response"), this,
                   SLOT(Response(uint, QVariantMap)));
  }
  m_path = path;
  if (!m_path.isEmpty()) {
    bus.connect(kPortalService, m_path, request, QStringLiteral("Response"), this, SLOT(Response(uint, QVariantMap)));
  }
}

void PortalRequest::Finish(const std::function<void()> &emitting) {
  if (m_finished) {
    return;
  }
  m_finished = true;
  m_timeout.stop();
  emitting();
}

} // namespace orvelle
