#pragma once

#include <QString>

class QWidget;

namespace orvelle {

// The application name shown as the caption of every message box.
inline const QString kMessageCaption = QStringLiteral("Pemrose");

// A modal message box with the text, an OK button only and the caption above;
// details, when given, in the box's scrolling detailed text.
void ShowMessage(QWidget *parent, const QString &text, const QString &details = QString());

} // namespace orvelle
