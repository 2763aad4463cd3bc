#pragma once

#include <QString>

namespace orvelle {

// Desktop notifications through the session bus's org.freedesktop.Notifications:
// from "Orvelle", without a sound, gone after 5 seconds, each replacing the one
// this notifier sent before. Where no notification service runs, nothing is
// shown and nothing is said.
class DesktopNotifier {
public:
  // Sends without waiting for the answer.
  void Notify(const QString &summary, const QString &body = QString());
  // Sends and waits (at most 2 seconds) until the service took it: for a
  // program that ends right after. False when no service took it.
  bool NotifyAndWait(const QString &summary, const QString &body = QString());

private:
  uint m_last = 0; // the notification to replace
};

} // namespace orvelle
