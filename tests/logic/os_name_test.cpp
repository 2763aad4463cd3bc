#include "sysinfo/os_name.h"

#include <gtest/gtest.h>

namespace orvelle {

namespace {
QString Name(std::uint32_t platform, std::uint32_t major, std::uint32_t minor) {
  return GetOsName(OsVersionRecord{platform, major, minor});
}
} // namespace

TEST(OsName, TheCodeJoinsPaddedDigits) {
  EXPECT_EQ(OsVersionCode({2, 5, 1}), 2050001);
  EXPECT_EQ(OsVersionCode({1, 4, 90}), 1040090);
  EXPECT_EQ(OsVersionCode({2, 10, 0}), 2100000);
  EXPECT_EQ(OsVersionCode({2, 6, 12345}), 20612345);
  EXPECT_EQ(OsVersionCode({0, 3, 10}), 30010);
}

TEST(OsName, EveryRowOfTheTableFromTopToBottom) {
  EXPECT_EQ(Name(0, 3, 10), "Windows 3.1");
  EXPECT_EQ(Name(0, 99, 9999), "Windows 3.1");   // 999999: still below 1040000
  EXPECT_EQ(Name(1, 4, 0), "Windows 95");        // 1040000
  EXPECT_EQ(Name(1, 4, 1), "Windows Unknown");   // 1040001
  EXPECT_EQ(Name(1, 4, 10), "Windows 98");       // 1040010
  EXPECT_EQ(Name(1, 4, 89), "Windows Unknown");  // 1040089
  EXPECT_EQ(Name(1, 4, 90), "Windows Me");       // 1040090
  EXPECT_EQ(Name(1, 4, 91), "Windows Me Later"); // 1040091
  EXPECT_EQ(Name(2, 3, 10), "Windows Me Later"); // 2030010, Windows NT 3.1
  EXPECT_EQ(Name(2, 3, 50), "Windows Me Later"); // 2030050, Windows NT 3.5
  EXPECT_EQ(Name(2, 3, 51), "Windows NT 3.51");  // 2030051
  EXPECT_EQ(Name(2, 4, 0), "Windows NT 4.0");
  EXPECT_EQ(Name(2, 5, 0), "Windows 2000");
  EXPECT_EQ(Name(2, 5, 1), "Windows XP");
  EXPECT_EQ(Name(2, 5, 2), "Windows Server 2003");     // 2050002
  EXPECT_EQ(Name(2, 5, 3), "Windows Vista or Later");  // 2050003
  EXPECT_EQ(Name(2, 6, 1), "Windows Vista or Later");  // Windows 7
  EXPECT_EQ(Name(2, 10, 0), "Windows Vista or Later"); // 2100000
  EXPECT_EQ(Name(2, 4294967295u, 4294967295u), "Windows Vista or Later");
}

TEST(OsName, NoVersionRecordGivesTheEmptyName) {
  EXPECT_EQ(GetOsName(std::nullopt), "");
#ifndef _WIN32
  EXPECT_FALSE(QueryOsVersion().has_value());
  EXPECT_EQ(GetOsName(), "");
#endif
}

} // namespace orvelle
