// A stand-in for the desktop portal's Screenshot interface on the session
// bus: it answers every request with the response code it is given and, for
// code 0, the picture file given (copied to a fresh file in /tmp first, or
// with STAND_IN_AS_IS set the file itself).
//   stand_in_portal CODE [PICTURE]     (CODE "never": asked, it never answers)

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

// Each call, one line to the file STAND_IN_LOG names: "Register APP" or "Screenshot".
void Log(const QString &line) {
  QFile log(qEnvironmentVariable("STAND_IN_LOG"));
  if (!log.fileName().isEmpty() && log.open(QIODevice::Append)) {
    log.write(line.toUtf8() + '\n');
  }
}

// The host's registry of newer portals (offered with STAND_IN_REGISTRY set).
class Registry : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.host.portal.Registry")

public:
  explicit Registry(QObject *parent) : QDBusAbstractAdaptor(parent) {}

public slots:
  void Register(const QString &app, const QVariantMap &) { Log(QStringLiteral("Register ") + app); }
};

class ScreenshotPortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
  ScreenshotPortal(uint code, QString picture, bool never)
      : m_code(code), m_picture(std::move(picture)), m_never(never) {}

public slots:
  QDBusObjectPath Screenshot(const QString &, const QVariantMap &options) {
    Log(QStringLiteral("Screenshot"));
    const QString sender = message().service().mid(1).replace('.', '_');
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                             .arg(sender, options.value(QStringLiteral("handle_token")).toString());
    QVariantMap results;
    if (m_code == 0 && qEnvironmentVariableIsSet("STAND_IN_AS_IS")) {
      results[QStringLiteral("uri")] = QUrl::fromLocalFile(m_picture).toString(); // the file itself
    } else if (m_code == 0) {
      QTemporaryFile copy(QStringLiteral("/tmp/stand-in-XXXXXX.png"));
      copy.setAutoRemove(false);
      copy.open();
      copy.write([&] {
        QFile f(m_picture);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
      }());
      results[QStringLiteral("uri")] = QUrl::fromLocalFile(copy.fileName()).toString();
    }
    if (m_never) {
      return QDBusObjectPath(path); // asked, never answered
    }
    QTimer::singleShot(50, this, [path, results, code = m_code] {
      QDBusMessage response = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
      response << code << results;
      QDBusConnection::sessionBus().send(response);
    });
    return QDBusObjectPath(path);
  }

private:
  uint m_code;
  QString m_picture;
  bool m_never;
};

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  ScreenshotPortal portal(QString::fromLocal8Bit(argv[1]).toUInt(),
                          argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(), QByteArray(argv[1]) == "never");
  if (qEnvironmentVariableIsSet("STAND_IN_REGISTRY")) {
    new Registry(&portal);
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAdaptors) ||
      !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
    return 1;
  }
  return QCoreApplication::exec();
}

#include "stand_in_portal.moc"
