#pragma once

#include <QKeySequence>
#include <optional>

class QWidget;

namespace orvelle {

class KeyTrim;

// The key the dialog proposes where none is set.
inline const QKeySequence kProposedTrimKey = QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G);

// Why a key cannot be the global key: it holds none of Ctrl, Alt and Super,
// or it is one of the window's own menu keys; empty when it can.
QString TrimKeyProblem(const QKeySequence &key);

// The dialog "キーの設定": one key combination for "画面をトリム" (the
// first chord typed), with "既定に戻す" and "キーを使わない"; OK holds the
// key and closes once the desktop bound it, or shows why not and stays.
// Where the desktop lets the user change it there, "デスクトップで設定..."
// asks it to. The key held (empty: none), or nothing when cancelled.
std::optional<QKeySequence> AskTrimKey(QWidget *owner, KeyTrim &keys);

} // namespace orvelle
