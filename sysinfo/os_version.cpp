#include "sysinfo/os_version.h"

namespace orvelle {

std::optional<OsVersionRecord> QueryOsVersion() { return std::nullopt; }

} // namespace orvelle
