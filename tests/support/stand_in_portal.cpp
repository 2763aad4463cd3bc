// A stand-in for the desktop portal's Screenshot interface on the session
// bus: it answers every request with the response code it is given and, for
// code 0, the picture file given (copied to a fresh file in /tmp first, or
// with STAND_IN_AS_IS set the file itself); with STAND_IN_REFUSE_PARENT set,
// a request for a window is refused as an error. With STAND_IN_SHORTCUTS set it
// also offers GlobalShortcuts version 2: "bind" binds what it is asked to,
// "none" answers a bind with no shortcut; each time the file STAND_IN_PRESS
// names appears, the shortcut is activated (and the file removed). With
// STAND_IN_SCREENCAST set it offers ScreenCast too: "refuse" answers Start as
// the user's cancel; "close" starts one stream (a PipeWire remote that never
// speaks) and closes the session from the desktop's side a second later.
//   stand_in_portal CODE [PICTURE]     (CODE "never": asked, it never answers)

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <sys/socket.h>
#include <unistd.h>

// What the portal takes and gives as a name or number with properties: a
// shortcut, (sa{sv}); a stream as Start answers it, (ua{sv}).
template <typename Id> struct Entry {
  Id id;
  QVariantMap properties;
};
template <typename Id> QDBusArgument &operator<<(QDBusArgument &a, const Entry<Id> &e) {
  a.beginStructure();
  a << e.id << e.properties;
  a.endStructure();
  return a;
}
template <typename Id> const QDBusArgument &operator>>(const QDBusArgument &a, Entry<Id> &e) {
  a.beginStructure();
  a >> e.id >> e.properties;
  a.endStructure();
  return a;
}
using Shortcut = Entry<QString>; // in the slots by its own name, by which the bus looks it up
using Stream = Entry<uint>;
Q_DECLARE_METATYPE(Shortcut)
Q_DECLARE_METATYPE(Stream)

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

// Sends a request's answer a moment after the call returned its path.
QDBusObjectPath Answer(const QDBusMessage &call, const QVariantMap &options, uint code, const QVariantMap &results) {
  const QString path =
      QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
          .arg(call.service().mid(1).replace('.', '_'), options.value(QStringLiteral("handle_token")).toString());
  QTimer::singleShot(50, [path, code, results] {
    QDBusMessage response =
        QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    response << code << results;
    QDBusConnection::sessionBus().send(response);
  });
  return QDBusObjectPath(path);
}

// A session's own object: Close.
class Session : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public slots:
  void Close() {
    Log(QStringLiteral("Close"));
    QDBusConnection::sessionBus().unregisterObject(objectName());
    deleteLater();
  }
};

// A new session's object, at the path its token names.
QString OpenSession(const QDBusMessage &call, const QVariantMap &options) {
  const QString path = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                           .arg(call.service().mid(1).replace('.', '_'),
                                options.value(QStringLiteral("session_handle_token")).toString());
  auto *session = new Session;
  session->setObjectName(path);
  QDBusConnection::sessionBus().registerObject(path, session, QDBusConnection::ExportAllSlots);
  return path;
}

// GlobalShortcuts, version 2.
class GlobalShortcuts : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
  Q_PROPERTY(uint version READ version)

public:
  explicit GlobalShortcuts(QObject *parent) : QDBusAbstractAdaptor(parent) {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    connect(&m_press, &QTimer::timeout, this, [this] {
      if (QFile::remove(qEnvironmentVariable("STAND_IN_PRESS")) && !m_session.isEmpty()) {
        QDBusMessage activated = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                            QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                            QStringLiteral("Activated"));
        activated << QVariant::fromValue(QDBusObjectPath(m_session)) << QStringLiteral("trim-now") << qulonglong(0)
                  << QVariantMap();
        QDBusConnection::sessionBus().send(activated);
      }
    });
    m_press.start(100);
  }
  uint version() const { return 2; }

public slots:
  QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &call) {
    Log(QStringLiteral("CreateSession"));
    m_session = OpenSession(call, options);
    return Answer(call, options, 0, {{QStringLiteral("session_handle"), m_session}});
  }
  QDBusObjectPath BindShortcuts(const QDBusObjectPath &, const QList<Entry<QString>> &asked, const QString &,
                                const QVariantMap &options, const QDBusMessage &call) {
    QList<Shortcut> bound;
    for (const Shortcut &one : asked) {
      const QString trigger = one.properties.value(QStringLiteral("preferred_trigger")).toString();
      Log(QStringLiteral("BindShortcuts %1 %2 %3")
              .arg(one.id, one.properties.value(QStringLiteral("description")).toString(), trigger));
      bound << Shortcut{one.id, {{QStringLiteral("trigger_description"), trigger + QStringLiteral(" (stand-in)")}}};
    }
    if (qEnvironmentVariable("STAND_IN_SHORTCUTS") == QLatin1String("none")) {
      bound.clear();
    }
    return Answer(call, options, 0, {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
  }
  void ConfigureShortcuts(const QDBusObjectPath &, const QString &, const QVariantMap &) {
    Log(QStringLiteral("ConfigureShortcuts"));
  }

private:
  QString m_session;
  QTimer m_press;
};

// ScreenCast, version 4.
class ScreenCast : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.ScreenCast")
  Q_PROPERTY(uint version READ version)
  Q_PROPERTY(uint AvailableSourceTypes READ sourceTypes)
  Q_PROPERTY(uint AvailableCursorModes READ cursorModes)

public:
  explicit ScreenCast(QObject *parent) : QDBusAbstractAdaptor(parent) {
    qDBusRegisterMetaType<Stream>();
    qDBusRegisterMetaType<QList<Stream>>();
  }
  uint version() const { return 4; }
  uint sourceTypes() const { return 1; }
  uint cursorModes() const { return 3; }

public slots:
  QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &call) {
    Log(QStringLiteral("ScreenCast CreateSession"));
    m_session = OpenSession(call, options);
    return Answer(call, options, 0, {{QStringLiteral("session_handle"), m_session}});
  }
  QDBusObjectPath SelectSources(const QDBusObjectPath &, const QVariantMap &options, const QDBusMessage &call) {
    Log(QStringLiteral("ScreenCast SelectSources cursor_mode=%1")
            .arg(options.value(QStringLiteral("cursor_mode")).toUInt()));
    return Answer(call, options, 0, {});
  }
  QDBusObjectPath Start(const QDBusObjectPath &, const QString &, const QVariantMap &options,
                        const QDBusMessage &call) {
    Log(QStringLiteral("ScreenCast Start"));
    if (qEnvironmentVariable("STAND_IN_SCREENCAST") == QLatin1String("refuse")) {
      return Answer(call, options, 1, {});
    }
    const QList<Stream> streams = {{42, {}}};
    // The desktop ends the sharing a second later.
    QTimer::singleShot(1000, this, [session = m_session] {
      QDBusConnection::sessionBus().send(QDBusMessage::createSignal(
          session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed")));
    });
    return Answer(call, options, 0,
                  {{QStringLiteral("streams"), QVariant::fromValue(streams)},
                   {QStringLiteral("restore_token"), QStringLiteral("stand-in-token")}});
  }
  QDBusUnixFileDescriptor OpenPipeWireRemote(const QDBusObjectPath &, const QVariantMap &) {
    Log(QStringLiteral("ScreenCast OpenPipeWireRemote"));
    int pair[2] = {-1, -1};
    socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair);
    m_silent = pair[1]; // a remote that never answers
    QDBusUnixFileDescriptor remote(pair[0]);
    close(pair[0]);
    return remote;
  }

private:
  QString m_session;
  int m_silent = -1;
};

class ScreenshotPortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
  ScreenshotPortal(uint code, QString picture, bool never)
      : m_code(code), m_picture(std::move(picture)), m_never(never) {}

public slots:
  QDBusObjectPath Screenshot(const QString &parent, const QVariantMap &options) {
    Log(parent.isEmpty() ? QStringLiteral("Screenshot") : QStringLiteral("Screenshot ") + parent);
    if (!parent.isEmpty() && qEnvironmentVariableIsSet("STAND_IN_REFUSE_PARENT")) {
      sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such window"));
      return {};
    }
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
  if (qEnvironmentVariableIsSet("STAND_IN_SHORTCUTS")) {
    new GlobalShortcuts(&portal);
  }
  if (qEnvironmentVariableIsSet("STAND_IN_SCREENCAST")) {
    new ScreenCast(&portal);
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
