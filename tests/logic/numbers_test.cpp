#include "common/numbers.h"

#include <gtest/gtest.h>

namespace orvelle {

TEST(Numbers, ConversionsKeepToTheirRangeAndTextsToThePlainForm) {
  EXPECT_EQ(ToInt16(12.5), 12); // halves to even
  EXPECT_EQ(ToInt16(-3.5), -4);
  EXPECT_FALSE(ToInt16(32767.5)); // rounds to 32768
  EXPECT_FALSE(ToSingle(1e39));
  EXPECT_EQ(SingleText(4.0f / 3.0f), "1.333333");
  EXPECT_EQ(SingleText(-0.0f), "0");
  EXPECT_EQ(SingleText(123456789.0f), "1.234568E+08");
  EXPECT_EQ(ParseDecimal(u"  -5e2 "), -500);
  EXPECT_EQ(ParseDecimal(u"0,75"), 0.75); // written under a comma locale, read in any
  for (const char16_t *bad :
       {u"", u"abc", u"1,5,0", u"1.000,5", u"1.2.3", u"--1", u"ERROR", u".", u"１", u"inf", u"1e999"}) {
    EXPECT_FALSE(ParseDecimal(bad)) << QString::fromUtf16(bad).toStdString();
  }
}

} // namespace orvelle
