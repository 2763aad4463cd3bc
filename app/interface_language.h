#pragma once

class QCoreApplication;

namespace orvelle {

// Qt's own words (the buttons and captions of its dialogs: "キャンセル", "開く",
// ...) in Japanese, like the program's, whatever the locale: Qt's Japanese
// translation where it is installed; without it nothing changes.
void ApplyInterfaceLanguage(QCoreApplication &app);

} // namespace orvelle
