#pragma once

#include <QString>

class QWidget;

namespace orvelle {

// The folder browser, modal to the owner, starting at the desktop, folders
// only. The chosen folder, or "" when the user cancels.
QString BrowseForFolder(QWidget *owner);

} // namespace orvelle
