#pragma once

#include <QString>

class QWidget;

namespace orvelle {

// The application name shown as the caption of every message box.
inline const QString kMessageCaption = QStringLiteral("Pemrose");

// A modal message box with the text, an OK button only and the caption above;
// details, when given, in the box's scrolling detailed text.
void ShowMessage(QWidget *parent, const QString &text, const QString &details = QString());

// A modal question with the caption above and the buttons はい and いいえ
// (いいえ by default); whether the answer was はい.
bool AskYesNo(QWidget *parent, const QString &text);

} // namespace orvelle
