#pragma once

#include <QString>

namespace orvelle {

// The program's version, as the build names it (the project's one version).
inline const QString kVersionNumber = QStringLiteral(ORVELLE_VERSION);

} // namespace orvelle
