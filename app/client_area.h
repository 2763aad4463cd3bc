#pragma once

#include <QWidget>

namespace orvelle {

// The main window's client area: the controls sit at fixed places in it, and
// one child (the status bar) is docked to its bottom edge across its width.
class ClientArea : public QWidget {
  Q_OBJECT

public:
  explicit ClientArea(QWidget *parent) : QWidget(parent) {}
  void DockAtBottom(QWidget *child);

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  QWidget *m_docked = nullptr;
};

} // namespace orvelle
