// The main window's global key "画面をトリム": held from the start where
// trim.ini names one, set in 設定(S) → キーの設定....

#include "app/form1.h"
#include "app/interval_window.h"
#include "app/key_dialog.h"
#include "app/key_trim.h"
#include "app/outcome_panel.h"
#include "settings/view_settings.h"

namespace orvelle {

void Form1::HoldTrimKey() {
  m_keys = new KeyTrim([this] { return SessionScreenPlan(m_session, DesktopPixels()); }, windowHandle(), this);
  // Outcomes in the panel: one line, no box over the user's work.
  connect(m_keys, &KeyTrim::told, this,
          [this](const QString &text) { m_outcome->Tell(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))); });
  const QString key = ReadTrimKey(settingsPath());
  if (key.isEmpty()) {
    return; // no grab, no portal session, no desktop dialog
  }
  // A key the desktop does not bind at the start is said in the panel.
  auto *once = new QObject(this);
  connect(m_keys, &KeyTrim::failed, once, [this, once](const QString &words) {
    m_outcome->Tell(QString(words).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    once->deleteLater();
  });
  connect(m_keys, &KeyTrim::bound, once, &QObject::deleteLater);
  m_keys->Hold(QKeySequence::fromString(key, QKeySequence::PortableText));
}

void Form1::M_S_Key_Click() {
  const QKeySequence before = m_keys->key();
  const auto chosen = AskTrimKey(this, *m_keys);
  if (!chosen) {
    if (m_keys->key() != before) {
      m_keys->Hold(before); // the key held before the dialog, again
    }
    return;
  }
  WriteTrimKey(chosen->toString(QKeySequence::PortableText), settingsPath());
}

} // namespace orvelle
