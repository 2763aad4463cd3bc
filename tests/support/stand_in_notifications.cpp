// A stand-in for the desktop's notification service on the session bus: it
// writes each notification it is sent as one line to the file given,
// "app|summary|body|suppress-sound|timeout|replaces", and answers its number.
//   stand_in_notifications FILE

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QVariantMap>

class Notifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
  explicit Notifications(QString log) : m_log(std::move(log)) {}

public slots:
  uint Notify(const QString &app, uint replaces, const QString &, const QString &summary, const QString &body,
              const QStringList &, const QVariantMap &hints, int timeout) {
    QFile log(m_log);
    log.open(QIODevice::Append);
    log.write(QStringLiteral("%1|%2|%3|%4|%5|%6\n")
                  .arg(app, summary, body, hints.value(QStringLiteral("suppress-sound")).toString())
                  .arg(timeout)
                  .arg(replaces)
                  .toUtf8());
    return ++m_count;
  }
  QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
  QString m_log;
  uint m_count = 0;
};

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  Notifications service(QString::fromLocal8Bit(argv[1]));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    return 1;
  }
  return QCoreApplication::exec();
}

#include "stand_in_notifications.moc"
