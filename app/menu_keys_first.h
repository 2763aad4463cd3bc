#pragma once

#include <QObject>

namespace orvelle {

// Installed on a text box, lets the window's menu shortcuts through: a text
// box would otherwise keep keys it edits with (Ctrl+E ends the line on X11),
// and the user would go on typing where the menu's command was asked for.
// The editing keys every text box has (copy, paste, undo, ...) stay the box's.
class MenuKeysFirst : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace orvelle
