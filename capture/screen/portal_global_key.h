#pragma once

#include "capture/screen/global_key.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QKeySequence>

namespace orvelle {

// The key bound through the desktop portal's GlobalShortcuts: one session
// per run, the shortcut "trim-now" with its description and the key
// as its preferred trigger; the desktop answers with what it really binds
// (or nothing, where it cannot name the program). A portal that goes away
// and comes back is bound again; the session is closed at the end.
class PortalGlobalKey : public GlobalKey {
  Q_OBJECT

public:
  explicit PortalGlobalKey(QString description, QObject *parent = nullptr);
  ~PortalGlobalKey() override;

  void Bind(const QKeySequence &key) override;
  void Release() override;
  bool CanConfigure() const override { return m_version >= 2 && !m_session.isEmpty(); }
  void Configure() override;

public slots:
  // (o session, s id, t timestamp, a{sv} options)
  void Activated(const QDBusMessage &signal);

private:
  void Open();
  void BindShortcut();
  void Close();

  QString m_description;
  QKeySequence m_key;
  QString m_session; // the session's object, once created
  uint m_version = 0;
  bool m_opening = false;
  QDBusServiceWatcher m_watcher;
};

// A key as the portal's preferred trigger writes it: "CTRL+ALT+g".
QString PreferredTrigger(const QKeySequence &key);

} // namespace orvelle
