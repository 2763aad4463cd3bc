#include "capture/screen/portal_global_key.h"

#include "capture/screen/portal_request.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

namespace {
// One shortcut as the portal takes and gives it: (sa{sv}).
struct PortalShortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}
} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace orvelle {

namespace {
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcutId = QStringLiteral("trim-now");
constexpr int kAnswerMs = 120000; // binding may ask the user first

QString Token() { return QStringLiteral("orvelle%1").arg(QRandomGenerator::global()->generate()); }
} // namespace

QString PreferredTrigger(const QKeySequence &key) {
  const QKeyCombination chord = key[0];
  QStringList parts;
  const Qt::KeyboardModifiers modifiers = chord.keyboardModifiers();
  if (modifiers & Qt::ControlModifier) {
    parts << QStringLiteral("CTRL");
  }
  if (modifiers & Qt::AltModifier) {
    parts << QStringLiteral("ALT");
  }
  if (modifiers & Qt::ShiftModifier) {
    parts << QStringLiteral("SHIFT");
  }
  if (modifiers & Qt::MetaModifier) {
    parts << QStringLiteral("LOGO");
  }
  const QString name = QKeySequence(chord.key()).toString(QKeySequence::PortableText);
  parts << (name.size() == 1 ? name.toLower() : name);
  return parts.join(QLatin1Char('+'));
}

PortalGlobalKey::PortalGlobalKey(QString description, QObject *parent)
    : GlobalKey(parent), m_description(std::move(description)) {
  qDBusRegisterMetaType<PortalShortcut>();
  qDBusRegisterMetaType<QList<PortalShortcut>>();
  PortalBus().connect(kPortalService, kPortalPath, kInterface, QStringLiteral("Activated"), this,
                      SLOT(Activated(QDBusMessage)));
  // A portal that comes back (restarted, updated) knows no session of ours.
  m_watcher.setConnection(PortalBus());
  m_watcher.addWatchedService(kPortalService);
  m_watcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration);
  connect(&m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
    m_session.clear();
    if (!m_key.isEmpty()) {
      Open();
    }
  });
}

PortalGlobalKey::~PortalGlobalKey() { Close(); }

void PortalGlobalKey::Bind(const QKeySequence &key) {
  m_key = key;
  if (m_session.isEmpty()) {
    Open();
  } else {
    BindShortcut();
  }
}

void PortalGlobalKey::Release() {
  m_key = QKeySequence();
  Close();
}

void PortalGlobalKey::Open() {
  if (m_opening) {
    return;
  }
  m_opening = true;
  // The interface's version first: none means the desktop offers no global keys.
  QDBusMessage get = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  auto *watcher = new QDBusPendingCallWatcher(PortalBus().asyncCall(get, 10000), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
    w->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *w;
    if (reply.isError()) {
      m_opening = false;
      emit failed(MakeProblem(ProblemKind::KeyNoGlobalShortcuts));
      return;
    }
    m_version = reply.value().variant().toUInt();
    auto *request =
        new PortalRequest(kInterface, QStringLiteral("CreateSession"),
                          {QVariantMap{{QStringLiteral("session_handle_token"), Token()}}}, kAnswerMs, this);
    connect(request, &PortalRequest::answered, this, [this, request](uint code, const QVariantMap &results) {
      request->deleteLater();
      m_opening = false;
      // A path as text, or (from some portals) as an object path.
      const QVariant handle = results.value(QStringLiteral("session_handle"));
      m_session = handle.toString().isEmpty() ? handle.value<QDBusObjectPath>().path() : handle.toString();
      if (code != 0 || m_session.isEmpty() || m_key.isEmpty()) {
        emit failed(MakeProblem(ProblemKind::KeyNotBound, {m_key.toString(QKeySequence::NativeText)}));
        return;
      }
      BindShortcut();
    });
    connect(request, &PortalRequest::failed, this, [this, request](const Problem &problem) {
      request->deleteLater();
      m_opening = false;
      emit failed(problem);
    });
    request->Start();
  });
}

void PortalGlobalKey::BindShortcut() {
  const QList<PortalShortcut> shortcuts = {{kShortcutId,
                                            {{QStringLiteral("description"), m_description},
                                             {QStringLiteral("preferred_trigger"), PreferredTrigger(m_key)}}}};
  auto *request = new PortalRequest(
      kInterface, QStringLiteral("BindShortcuts"),
      {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(), QVariantMap()},
      kAnswerMs, this);
  const QString key = m_key.toString(QKeySequence::NativeText);
  connect(request, &PortalRequest::answered, this, [this, request, key](uint code, const QVariantMap &results) {
    request->deleteLater();
    const auto bound = qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts")));
    for (const PortalShortcut &shortcut : bound) {
      if (code == 0 && shortcut.id == kShortcutId) {
        emit this->bound(shortcut.properties.value(QStringLiteral("trigger_description")).toString());
        return;
      }
    }
    // Plasma 5.27 answers so for a program it cannot name.
    emit failed(MakeProblem(ProblemKind::KeyNotBound, {key}));
  });
  connect(request, &PortalRequest::failed, this, [this, request](const Problem &problem) {
    request->deleteLater();
    emit failed(problem);
  });
  request->Start();
}

void PortalGlobalKey::Configure() {
  if (!CanConfigure()) {
    return;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortalService, kPortalPath, kInterface, QStringLiteral("ConfigureShortcuts"));
  call << QVariant::fromValue(QDBusObjectPath(m_session)) << QString() << QVariantMap();
  PortalBus().asyncCall(call);
}

void PortalGlobalKey::Activated(const QDBusMessage &signal) {
  const QVariantList arguments = signal.arguments();
  if (arguments.size() >= 2 && arguments[0].value<QDBusObjectPath>().path() == m_session &&
      arguments[1].toString() == kShortcutId && !m_key.isEmpty()) {
    emit pressed();
  }
}

void PortalGlobalKey::Close() {
  if (m_session.isEmpty()) {
    return;
  }
  PortalBus().call(QDBusMessage::createMethodCall(kPortalService, m_session,
                                                  QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
  m_session.clear();
}

} // namespace orvelle
