#pragma once

#include "capture/screen/desktop_notifier.h"
#include "capture/screen/global_key.h"
#include "core/screen_runner.h"

#include <QKeySequence>
#include <functional>
#include <memory>

class QWindow;

namespace orvelle {

// The global key "画面をトリム": held while the program runs once the user
// set one. Each press grabs the desktop and saves the frame's area as the
// next numbered file with the window's values of that moment, through the
// screen-series runner; the program's windows are left as they are. What a
// press came to is told in the status bar's panel and as a notification,
// never in a box over the user's work.
class KeyTrim : public QObject {
  Q_OBJECT

public:
  using Plan = std::function<Expected<ScreenPlan>()>;

  KeyTrim(Plan plan, QWindow *window, QObject *parent = nullptr);
  ~KeyTrim() override;

  // Holds the key (an empty one: none); `bound` or `failed` tells how it went.
  void Hold(const QKeySequence &key);
  const QKeySequence &key() const { return m_key; }
  // What the desktop said it bound, the last time it did.
  const QString &description() const { return m_description; }
  GlobalKey *globalKey() const { return m_global.get(); }

signals:
  void told(const QString &text);
  void bound(const QString &description);
  void failed(const QString &words);

private:
  void Pressed();
  void Stepped(const ScreenStep &step);
  void Tell(const QString &summary, const QString &body = QString());

  Plan m_plan;
  QWindow *m_window;
  QKeySequence m_key;
  QString m_description;
  std::unique_ptr<GlobalKey> m_global;
  std::unique_ptr<ScreenSource> m_source;
  std::unique_ptr<ScreenRunner> m_runner;
  DesktopNotifier m_notifier;
  int m_dropped = 0; // presses dropped while ten waited
};

} // namespace orvelle
