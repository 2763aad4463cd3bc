#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;

namespace orvelle {

// The status bar's second panel: what a trim over and over counts (shown
// until it changes), and in front of it, for 5 seconds, the outcome of a
// batch or a screen trim, without a box over the user's work.
class OutcomePanel : public QObject {
public:
  explicit OutcomePanel(QLabel &panel);

  // The lasting text; `reveal` shows the panel, else it only changes the
  // text of a panel already in view.
  void Show(const QString &text, bool reveal = true);
  // An outcome, in front of the lasting text for 5 seconds.
  void Tell(const QString &text);

private:
  void ShowLasting();

  QLabel &m_panel;
  QString m_lasting;
  bool m_revealed = false;
  QTimer m_told;
};

} // namespace orvelle
