#include "app/outcome_panel.h"

#include <QLabel>

namespace orvelle {

namespace {
constexpr int kToldMs = 5000;
} // namespace

OutcomePanel::OutcomePanel(QLabel &panel) : QObject(&panel), m_panel(panel) {
  m_told.setSingleShot(true);
  m_told.setInterval(kToldMs);
  connect(&m_told, &QTimer::timeout, this, &OutcomePanel::ShowLasting);
}

void OutcomePanel::Show(const QString &text, bool reveal) {
  m_lasting = text;
  m_revealed = m_revealed || reveal;
  if (!m_told.isActive()) {
    ShowLasting();
  }
}

void OutcomePanel::Tell(const QString &text) {
  m_panel.setText(text);
  m_panel.show();
  m_told.start();
}

void OutcomePanel::ShowLasting() {
  m_panel.setText(m_lasting);
  m_panel.setVisible(m_revealed);
}

} // namespace orvelle
