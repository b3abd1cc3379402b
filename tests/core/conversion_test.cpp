#include <gtest/gtest.h>

#include <cmath>

#include "data.h"

TEST(RealToText, SpecExamplesLayOutAndTrim) {
  EXPECT_EQ(RealToText(0.5), "0.5");
  EXPECT_EQ(RealToText(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(RealToText(1048576.0), "1048576");
  EXPECT_EQ(RealToText(2.5E-5), "0.000025");
  EXPECT_EQ(RealToText(1E20), "100000000000000000000");
  EXPECT_EQ(RealToText(3.0), "3");
  EXPECT_EQ(RealToText(-0.25), "-0.25");
  EXPECT_EQ(RealToText(0.0), "0");
  EXPECT_EQ(RealToText(-0.0), "0");
}

TEST(RealToText, FifteenSignificantDigits) {
  EXPECT_EQ(RealToText(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(RealToText(123456789012345.0), "123456789012345");
  EXPECT_EQ(RealToText(1234567890.12345), "1234567890.12345");
  EXPECT_EQ(RealToText(-98765.4321098765), "-98765.4321098765");
  // 16 digits are rounded to 15; an integer past 15 digits gains zeros.
  EXPECT_EQ(RealToText(1234567890123456.0), "1234567890123460");
  EXPECT_EQ(RealToText(0.1), "0.1");
  EXPECT_EQ(RealToText(1e-10), "0.0000000001");
  EXPECT_EQ(RealToText(1.5e-300).substr(0, 8), "0.000000");
}

TEST(RealToText, TiesGoToEven) {
  // Exactly representable sixteen-digit values half-way between two 15-digit ones.
  EXPECT_EQ(RealToText(1000000000000005.0), "1000000000000000");
  EXPECT_EQ(RealToText(1000000000000015.0), "1000000000000020");
  EXPECT_EQ(RealToText(-1000000000000025.0), "-1000000000000020");
  EXPECT_EQ(RealToText(1000000000000035.0), "1000000000000040");
}

TEST(RealToText, CarryFromAllNinesRaisesExponent) {
  EXPECT_EQ(RealToText(999999999999999.9), "1000000000000000");
  EXPECT_EQ(RealToText(0.9999999999999999), "1");
  EXPECT_EQ(RealToText(0.09999999999999999), "0.1");
}

TEST(RealToText, NeverUsesExponentForm) {
  const std::string big = RealToText(1.5e300);
  EXPECT_EQ(big.size(), 301u);
  EXPECT_EQ(big.substr(0, 2), "15");
  EXPECT_EQ(big.find_first_not_of('0', 2), std::string::npos);
}

TEST(RealToText, ExactAtTheEndsOfTheRange) {
  // The smallest subnormal, 4.9406564584124654e-324, and the largest double.
  const std::string tiny = RealToText(5e-324);
  EXPECT_EQ(tiny.size(), 340u);
  EXPECT_EQ(tiny.substr(0, 2) + tiny.substr(325), "0.494065645841247");
  EXPECT_EQ(tiny.find_first_not_of('0', 2), 325u);
  const std::string huge = RealToText(1.7976931348623157e308);
  EXPECT_EQ(huge.size(), 309u);
  EXPECT_EQ(huge.substr(0, 15), "179769313486232");
  EXPECT_EQ(huge.find_first_not_of('0', 15), std::string::npos);
}

TEST(RealToInt, RoundsTiesToEvenAndWraps) {
  EXPECT_EQ(RealToInt(2.5), 2);
  EXPECT_EQ(RealToInt(3.5), 4);
  EXPECT_EQ(RealToInt(-2.5), -2);
  EXPECT_EQ(RealToInt(-3.5), -4);
  EXPECT_EQ(RealToInt(2.6), 3);
  EXPECT_EQ(RealToInt(-2.4), -2);
  EXPECT_EQ(RealToInt(4294967296.0 + 7.0), 7);
  EXPECT_EQ(RealToInt(2147483648.0), INT32_MIN);
  EXPECT_EQ(RealToInt(3221225472.0), -1073741824);
  EXPECT_EQ(RealToInt(1e30), 0);
  EXPECT_EQ(RealToInt(std::nan("")), 0);
}

TEST(TextToInt, ParsesSignDigitsAndStops) {
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("-12x"), -12);
  EXPECT_EQ(TextToInt("+5"), 5);
  EXPECT_EQ(TextToInt(" 7"), 0);
  EXPECT_EQ(TextToInt("42"), 42);
  EXPECT_EQ(TextToInt("-"), 0);
  EXPECT_EQ(TextToInt("2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("4294967297"), 1);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
}

TEST(TextToReal, ScansByTheRule) {
  EXPECT_EQ(TextToReal(""), 0.0);
  EXPECT_EQ(TextToReal("1.5e2"), 150.0);
  EXPECT_EQ(TextToReal("+5"), 5.0);
  EXPECT_EQ(TextToReal("1,5"), 15.0);
  EXPECT_EQ(TextToReal("12 MB"), 12.0);
  EXPECT_EQ(TextToReal("-2.5"), -2.5);
  EXPECT_DOUBLE_EQ(TextToReal("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(TextToReal("3E-2"), 0.03);
  EXPECT_EQ(TextToReal("abc"), 0.0);
  EXPECT_EQ(TextToReal("5-3"), 53.0);
}

TEST(Conversions, ByRecordType) {
  TData d;
  EXPECT_EQ(ToString(d), "");
  EXPECT_EQ(ToInteger(d), 0);
  SetInteger(d, -17);
  EXPECT_EQ(ToString(d), "-17");
  EXPECT_EQ(ToReal(d), -17.0);
  SetString(d, "2.5");
  EXPECT_EQ(ToInteger(d), 2);
  EXPECT_EQ(ToReal(d), 2.5);
  SetReal(d, 2.5);
  EXPECT_EQ(ToInteger(d), 2);
  EXPECT_EQ(ToString(d), "2.5");
  int dummy = 0;
  SetStream(d, &dummy);
  EXPECT_EQ(StreamOf(d), &dummy);
  EXPECT_EQ(ToString(d), "");
  EXPECT_EQ(ToInteger(d), 0);
  EXPECT_EQ(ToReal(d), 0.0);
  d.type = dtNoSource;
  EXPECT_EQ(ToString(d), "");
}

TEST(Chains, DeepCopyAndFree) {
  TData head;
  SetInteger(head, 1);
  head.next = new TData;
  SetString(*head.next, "two");
  head.next->next = new TData;
  SetReal(*head.next->next, 3.0);

  TData copy;
  CopyChain(copy, head);
  ASSERT_NE(copy.next, nullptr);
  EXPECT_NE(copy.next, head.next);
  EXPECT_EQ(copy.next->text, "two");
  ASSERT_NE(copy.next->next, nullptr);
  EXPECT_EQ(copy.next->next->realValue, 3.0);
  EXPECT_EQ(copy.next->next->next, nullptr);

  FreeChain(head);
  EXPECT_EQ(head.next, nullptr);
  EXPECT_EQ(copy.next->text, "two");
  FreeChain(copy);
}
