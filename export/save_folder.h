#pragma once

#include <QString>

class QWidget;

namespace orvelle {

// The longest folder path, in bytes, that trim.ini gives back whole.
inline constexpr qsizetype kMaxFolderBytes = 254;

// The folder browser, modal to the owner, starting at the desktop, folders
// only. The chosen folder, or "" when the user cancels.
QString BrowseForFolder(QWidget *owner);

// Takes the browser's answer: a chosen folder becomes the save folder and is
// stored as F_Path; true then, and the caller shows it. On cancel the user is
// told so and the save folder and trim.ini keep the folder they had; so they
// do for a folder whose path is too long to be stored.
bool ApplyChosenFolder(QWidget *owner, const QString &chosen, QString &saveFolder, const QString &settingsPath);

} // namespace orvelle
