#include "common/numbers.h"
#include "common/units.h"

#include <gtest/gtest.h>
#include <limits>

namespace orvelle {

TEST(Numbers, RoundingTakesHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(12.5), 12);
  EXPECT_EQ(RoundHalfEven(13.5), 14);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(-0.6), -1);
  EXPECT_EQ(TwipsToPixels(440), 29);
  EXPECT_EQ(TwipsToPixels(1500), 100);
}

TEST(Numbers, IntegerConversionsKeepToTheirRange) {
  EXPECT_EQ(ToInt16(32767.0), 32767);
  EXPECT_EQ(ToInt16(-32768.0), -32768);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_FALSE(ToInt16(32767.5)); // rounds to 32768
  EXPECT_FALSE(ToInt16(-32768.6));
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_FALSE(ToInt32(2147483648.0));
  EXPECT_FALSE(ToSingle(1e39));
  EXPECT_EQ(ToSingle(0.75), 0.75f);
}

TEST(Numbers, DecimalTextIsReadWithBlanksAndNothingElse) {
  EXPECT_EQ(ParseDecimal(u"0.75"), 0.75);
  EXPECT_EQ(ParseDecimal(u"  12.5 "), 12.5);
  EXPECT_EQ(ParseDecimal(u"-50"), -50);
  EXPECT_EQ(ParseDecimal(u"+3"), 3);
  EXPECT_EQ(ParseDecimal(u".5"), 0.5);
  EXPECT_EQ(ParseDecimal(u"5."), 5);
  EXPECT_EQ(ParseDecimal(u"1e3"), 1000);
  EXPECT_EQ(ParseDecimal(u"007"), 7);
  for (const char16_t *bad : {u"", u"   ", u"abc", u"1,5", u"1.2.3", u"--1", u"1e", u"ERROR", u".", u"0x10", u"１",
                              u"inf", u"nan", u"1e999"}) {
    EXPECT_FALSE(ParseDecimal(bad)) << QString::fromUtf16(bad).toStdString();
  }
}

TEST(Numbers, SingleTextIsThePlainDecimalForm) {
  EXPECT_EQ(SingleText(120.0f), "120");
  EXPECT_EQ(SingleText(120.5f), "120.5");
  EXPECT_EQ(SingleText(0.75f), "0.75");
  EXPECT_EQ(SingleText(4.0f / 3.0f), "1.333333");
  EXPECT_EQ(SingleText(-50.0f), "-50");
  EXPECT_EQ(SingleText(0.0f), "0");
  EXPECT_EQ(SingleText(-0.0f), "0");
  EXPECT_EQ(SingleText(1.0f), "1");
  EXPECT_EQ(SingleText(3.99f), "3.99");
  EXPECT_EQ(SingleText(1234567.0f), "1234567");
  EXPECT_EQ(SingleText(123456789.0f), "1.234568E+08");
  EXPECT_EQ(SingleText(0.00001f), "1E-05");
  EXPECT_EQ(IntegerText(-32768), "-32768");
}

} // namespace orvelle
