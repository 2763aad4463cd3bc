#include "common/numbers.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace orvelle {

TEST(Numbers, ConversionsKeepToTheirRangeAndRoundHalvesToEven) {
  EXPECT_EQ(ToInt16(12.5), 12);
  EXPECT_EQ(ToInt16(-3.5), -4);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_FALSE(ToInt16(32767.5)); // rounds to 32768
  EXPECT_FALSE(ToInt32(2147483648.0));
  EXPECT_FALSE(ToSingle(1e39));
}

TEST(Numbers, TextsFollowTheLocaleAndAlwaysReadAPeriod) {
  EXPECT_EQ(SingleText(120.0f), "120");
  EXPECT_EQ(SingleText(4.0f / 3.0f), "1.333333");
  EXPECT_EQ(SingleText(-0.0f), "0");
  EXPECT_EQ(SingleText(123456789.0f), "1.234568E+08");
  EXPECT_EQ(ParseDecimal(u"  12.5 "), 12.5);
  EXPECT_EQ(ParseDecimal(u"-5e2"), -500);
  for (const char16_t *bad : {u"", u"abc", u"1,5", u"1.2.3", u"--1", u"ERROR", u".", u"１", u"inf", u"1e999"}) {
    EXPECT_FALSE(ParseDecimal(bad)) << QString::fromUtf16(bad).toStdString();
  }
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is not installed";
  EXPECT_EQ(SingleText(0.75f), "0,75");
  EXPECT_EQ(ParseDecimal(u"0,75"), 0.75);
  EXPECT_EQ(ParseDecimal(u"0.75"), 0.75); // files written under the Japanese locale
  for (const char16_t *bad : {u"1.000,5", u"1,000,5", u"1,2.5", u"1 000"}) {
    EXPECT_FALSE(ParseDecimal(bad)) << QString::fromUtf16(bad).toStdString();
  }
  std::setlocale(LC_NUMERIC, before.c_str());
}

} // namespace orvelle
