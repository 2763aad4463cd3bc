#pragma once

#include <QWidget>

namespace orvelle {

// The main window's client area: the controls sit at fixed places in it, one
// child (the status bar) is docked to its bottom edge across its width, and
// one (the canvas area) fills what lies between a top edge and that child.
class ClientArea : public QWidget {
  Q_OBJECT

public:
  explicit ClientArea(QWidget *parent) : QWidget(parent) {}
  void DockAtBottom(QWidget *child);
  void FillBelow(QWidget *child, int top);
  // The filling child's place at the client area's present size.
  QRect FillRect() const;
  // The device pixels that place holds wherever the pixel grid falls in it
  // (so that an empty canvas fits without scroll bars).
  QSize FillPixels() const;

signals:
  void resized();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void Arrange();
  QWidget *m_docked = nullptr;
  QWidget *m_fill = nullptr;
  int m_fillTop = 0;
};

} // namespace orvelle
