#include "common/decimal_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ReadDecimal, BlanksSignDigitsAndTheFirstStop) {
  EXPECT_EQ(ReadDecimal(u"42"), 42);
  EXPECT_EQ(ReadDecimal(u"  -17px"), -17);
  EXPECT_EQ(ReadDecimal(u"\t+8"), 8);
  EXPECT_EQ(ReadDecimal(u"x12"), 0);
  EXPECT_EQ(ReadDecimal(u"- 3"), 0);
  EXPECT_EQ(ReadDecimal(u""), 0);
  EXPECT_EQ(ReadDecimal(nullptr), 0);
  EXPECT_EQ(ReadDecimal(u"1.5"), 1);
}

TEST(ReadDecimal, OutOfRangeValuesStopAtTheLimits) {
  EXPECT_EQ(ReadDecimal(u"2147483647"), INT32_MAX);
  EXPECT_EQ(ReadDecimal(u"2147483648"), INT32_MAX);
  EXPECT_EQ(ReadDecimal(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadDecimal(u"-99999999999999999999999"), INT32_MIN);
}

TEST(ScanIntegers, AllNumbersOrNothing) {
  int32_t v[4] = {9, 9, 9, 9};
  EXPECT_TRUE(ScanIntegers(u"10,-20", v, 2));
  EXPECT_EQ(v[0], 10);
  EXPECT_EQ(v[1], -20);
  EXPECT_TRUE(ScanIntegers(u" 1, 2,3,4 tail", v, 4));
  EXPECT_EQ(v[3], 4);
  v[0] = v[1] = 7;
  EXPECT_FALSE(ScanIntegers(u"5", v, 2));
  EXPECT_FALSE(ScanIntegers(u"5 ,6", v, 2));  // the comma must follow the number
  EXPECT_FALSE(ScanIntegers(u"5,x", v, 2));
  EXPECT_FALSE(ScanIntegers(u",5", v, 1));
  EXPECT_FALSE(ScanIntegers(nullptr, v, 1));
}

}  // namespace
