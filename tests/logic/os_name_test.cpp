#include "sysinfo/os_name.h"

#include <gtest/gtest.h>

namespace orvelle {

TEST(OsName, TheTableIsReadFromTopToBottom) {
  // Each name at its own code, and the codes between them.
  const std::pair<OsVersionRecord, const char *> rows[] = {{{0, 99, 9999}, "Windows 3.1"},
                                                           {{1, 4, 1}, "Windows Unknown"},
                                                           {{1, 4, 91}, "Windows Me Later"},
                                                           {{2, 3, 51}, "Windows NT 3.51"},
                                                           {{2, 5, 1}, "Windows XP"},
                                                           {{2, 5, 3}, "Windows Vista or Later"},
                                                           {{2, 4294967295u, 4294967295u}, "Windows Vista or Later"}};
  for (const auto &[record, name] : rows) {
    EXPECT_EQ(GetOsName(record), name) << OsVersionCode(record);
  }
  EXPECT_EQ(GetOsName(std::nullopt), "");
}

} // namespace orvelle
