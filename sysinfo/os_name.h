#pragma once

#include "sysinfo/os_version.h"

#include <QString>
#include <optional>

namespace orvelle {

// The version code: the platform id's digits, the major version with at least
// two digits and the minor version with at least four, read as one number
// (platform 2, major 5, minor 1 gives 2050001).
long long OsVersionCode(const OsVersionRecord &record);

// One of the twelve Windows names for the record, or "" without one.
QString GetOsName(const std::optional<OsVersionRecord> &record);

} // namespace orvelle
