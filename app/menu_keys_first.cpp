#include "app/menu_keys_first.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace orvelle {

namespace {
bool IsEditingKey(const QKeyEvent *key) {
  for (const auto standard : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
                              QKeySequence::Redo, QKeySequence::SelectAll}) {
    if (key->matches(standard)) {
      return true;
    }
  }
  return false;
}
} // namespace

bool MenuKeysFirst::eventFilter(QObject *watched, QEvent *event) {
  auto *widget = qobject_cast<QWidget *>(watched);
  if (event->type() != QEvent::ShortcutOverride || widget == nullptr) {
    return false;
  }
  const auto *key = static_cast<QKeyEvent *>(event);
  const QKeySequence pressed(key->keyCombination());
  for (const QAction *action : widget->window()->findChildren<QAction *>()) {
    if (!action->shortcut().isEmpty() && action->shortcut() == pressed && !IsEditingKey(key)) {
      return true; // not taken by the box: the shortcut goes to the menu
    }
  }
  return false;
}

} // namespace orvelle
