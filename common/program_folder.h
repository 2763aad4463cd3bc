#pragma once

#include <QString>

namespace orvelle {

// The folder the executable lies in; the JPEG library is placed beside it.
QString ExecutableFolder();

// Where trim.ini and the intermediate BMP files live: the executable's folder
// when it can be written, else (an installed program) this user's
// configuration folder for Orvelle, created when missing.
QString ChooseProgramFolder(const QString &executableFolder);

} // namespace orvelle
