#pragma once

#include "common/problem.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

namespace orvelle {

inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// The one session-bus connection every portal call of the program goes
// over (the screenshot, the global key), apart from Qt's own.
QDBusConnection PortalBus();

// Names the program to the portal once, before its first request, where the
// portal takes names (xdg-desktop-portal 1.19 and later): a permission the
// user grants once then holds for the window and orvelle-trim alike. Where
// it does not, the answer is an error and the requests go on all the same.
// `then` runs once that is settled.
void RegisterOnce(QObject *context, const std::function<void()> &then);

// One request to the portal: the method called with a fresh `handle_token`
// put into its options (the last argument), and the answer awaited on the
// request's own object. `answered` comes once with the response's code and
// results, or `failed` with the problem: no bus, the call's error (its
// D-Bus error name in the second detail), no answer in time.
class PortalRequest : public QObject {
  Q_OBJECT

public:
  PortalRequest(QString interface, QString method, QVariantList arguments, int timeoutMs, QObject *parent = nullptr);
  ~PortalRequest() override;

  void Start();

signals:
  void answered(uint code, const QVariantMap &results);
  void failed(const orvelle::Problem &problem);

public slots:
  void Response(uint code, const QVariantMap &results);

private:
  void Listen(const QString &path);
  void Finish(const std::function<void()> &emitting);

  QString m_interface;
  QString m_method;
  QVariantList m_arguments;
  QString m_path; // the request's object
  QTimer m_timeout;
  bool m_finished = false;
};

} // namespace orvelle
