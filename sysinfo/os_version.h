#pragma once

#include <cstdint>
#include <optional>

// The running Windows version as the system reports it. Only Windows has such
// a record; on every other system the query reports failure.

namespace orvelle {

struct OsVersionRecord {
  std::uint32_t platformId = 0; // 0 Win32s, 1 Windows 95 family, 2 Windows NT family
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

std::optional<OsVersionRecord> QueryOsVersion();

} // namespace orvelle
