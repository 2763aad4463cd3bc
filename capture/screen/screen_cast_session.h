#pragma once

#include "common/problem.h"

#include <QObject>
#include <QRect>
#include <QString>

namespace orvelle {

// What a started screen cast gives: the PipeWire remote to take its frames
// from (a descriptor now owned by the receiver) and the node of the shared
// monitor, with the monitor's place on the desktop in logical pixels (empty
// where the portal does not tell it).
struct ScreenCastStream {
  int remote = -1;
  unsigned node = 0;
  QRect logical;
};

// One screen-cast session of the desktop portal: one monitor, without the
// pointer, kept by the desktop for the next run where it can (the token it
// answered last time is offered, and each start answers a new one, which
// `token` tells). Exactly one of `started`, `refused` (the user did not
// allow it), `unavailable` (no screen cast here, or the session could not
// be set up) comes; after `started`, `closed` comes if the desktop ends the
// session. The session is closed when the object goes.
class ScreenCastSession : public QObject {
  Q_OBJECT

public:
  explicit ScreenCastSession(QString token, QObject *parent = nullptr);
  ~ScreenCastSession() override;

  void Open();

signals:
  void started(const orvelle::ScreenCastStream &stream);
  void refused();
  void unavailable(const orvelle::Problem &problem);
  void closed();
  void token(const QString &token);

public slots:
  void Closed();

private:
  void Ask(const QString &method, const QVariantList &arguments, int timeoutMs,
           const std::function<void(uint code, const QVariantMap &results)> &then);
  void SelectSources(uint version, uint cursorModes);
  void StartCast();
  void Unanswered(const QString &method, uint code);
  void OpenRemote(const QVariantMap &results);

  QString m_token;
  QString m_session; // the session's object, once created
  bool m_over = false;
};

} // namespace orvelle
