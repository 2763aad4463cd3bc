#include "sysinfo/os_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvelle {

std::optional<OsVersionRecord> QueryOsVersion() {
#ifdef _WIN32
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma warning(suppress : 4996)
  if (GetVersionExA(&info) == 0) {
    return std::nullopt;
  }
  return OsVersionRecord{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
#else
  return std::nullopt;
#endif
}

} // namespace orvelle
