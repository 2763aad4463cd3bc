#include "capture/screen/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <memory>

namespace orvelle {

namespace {
constexpr int kShownMs = 5000;
constexpr int kWaitMs = 2000;

QDBusMessage NotifyCall(uint replaces, const QString &summary, const QString &body) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                          {QStringLiteral("desktop-entry"), QStringLiteral("io.orvelle.Orvelle")}};
  call << QStringLiteral("Orvelle") << replaces << QStringLiteral("io.orvelle.Orvelle") << summary << body
       << QStringList() << hints << kShownMs;
  return call;
}
} // namespace

void DesktopNotifier::Notify(const QString &summary, const QString &body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return;
  }
  auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(NotifyCall(m_last, summary, body), kWaitMs));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, watcher] {
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isValid()) {
      m_last = reply.value();
    }
    watcher->deleteLater();
  });
}

bool DesktopNotifier::NotifyAndWait(const QString &summary, const QString &body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return false;
  }
  const QDBusMessage reply = bus.call(NotifyCall(m_last, summary, body), QDBus::Block, kWaitMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return false;
  }
  m_last = reply.arguments().constFirst().toUInt();
  return true;
}

} // namespace orvelle
