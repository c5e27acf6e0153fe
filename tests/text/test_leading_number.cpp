#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "text/leading_number.h"

namespace matcalc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
  const char* text;
  double value;
};

TEST(LeadingNumber, ReadsTheLongestNumberPrefix) {
  const Case cases[] = {
      {"12abc", 12}, {"  -3.5e2", -350}, {"abc", 0},    {"1 0", 10},     {"", 0},
      {".", 0},      {"-", 0},           {"+5", 5},     {".5", 0.5},     {"-.25", -0.25},
      {"5.", 5},     {"1.2.3", 1.2},     {"007", 7},    {"0.0", 0},      {"1e", 1},
      {"1e+", 1},    {"1E-2x", 0.01},    {"2E3", 2000}, {"1.5e3", 1500}, {"3#", 3},
      {"3,4", 3},    {"--3", 0},         {"e5", 0},     {"1e2.5", 100},
  };
  for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(LeadingNumber, IgnoresSpacesTabsAndLineFeedsButNotCarriageReturns) {
  EXPECT_EQ(LeadingNumber("\t1\n2 3"), 123);
  EXPECT_EQ(LeadingNumber("- 1 . 5 e - 1"), -0.15);
  EXPECT_EQ(LeadingNumber("1\r2"), 1);
  EXPECT_EQ(LeadingNumber("\r1"), 0);
}

TEST(LeadingNumber, HexAndOctalOnlyWithUpperCasePrefix) {
  EXPECT_EQ(LeadingNumber("&H10"), 16);
  EXPECT_EQ(LeadingNumber("&HFF"), 255);
  EXPECT_EQ(LeadingNumber("&Hff"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&O18"), 1);  // 8 is no octal digit
  EXPECT_EQ(LeadingNumber("&H"), 0);
  EXPECT_EQ(LeadingNumber(" & H 1\t0"), 16);  // blanks are ignored here as well
  EXPECT_EQ(LeadingNumber("&h10"), 0);        // entries are lower-cased: they never read hex
  EXPECT_EQ(LeadingNumber("&o17"), 0);
}

TEST(LeadingNumber, BeyondTheDoubleRange) {
  EXPECT_EQ(LeadingNumber("1e400"), kInf);
  EXPECT_EQ(LeadingNumber("-1e400"), -kInf);
  EXPECT_EQ(LeadingNumber("1e-400"), 0);
  EXPECT_EQ(LeadingNumber("1" + std::string(400, '0')), kInf);
  EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0);
  EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1e410"), 1e9);
  EXPECT_EQ(LeadingNumber("1e99999999999999999999"), kInf);
  EXPECT_EQ(LeadingNumber("1e-99999999999999999999"), 0);
  // Subnormal values are still values.
  EXPECT_EQ(LeadingNumber("1e-310"), 1e-310);
  EXPECT_EQ(LeadingNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(LeadingNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(LeadingNumber, RoundsCorrectlyFromLongDigitStrings) {
  EXPECT_EQ(LeadingNumber("0.1"), 0.1);
  EXPECT_EQ(LeadingNumber("3.14159265358979"), 3.14159265358979);
  EXPECT_EQ(LeadingNumber("0.30000000000000001665"), 0.3);
  EXPECT_EQ(LeadingNumber(std::string(5000, '0') + "2.5"), 2.5);
}

TEST(ToInt16, RoundsHalvesToEvenWithinTheSignedRange) {
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(3.5), 4);
  EXPECT_EQ(ToInt16(-2.5), -2);
  EXPECT_EQ(ToInt16(2.4999), 2);
  EXPECT_EQ(ToInt16(0), 0);
  EXPECT_EQ(ToInt16(32767), 32767);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768), -32768);
  EXPECT_EQ(ToInt16(-32768.5), -32768);  // the tie goes to the even -32768
}

TEST(ToInt16, OutOfRangeOrNotANumberHasNoValue) {
  EXPECT_FALSE(ToInt16(32767.5).has_value());  // ties to 32768
  EXPECT_FALSE(ToInt16(40000).has_value());
  EXPECT_FALSE(ToInt16(-32769).has_value());
  EXPECT_FALSE(ToInt16(kInf).has_value());
  EXPECT_FALSE(ToInt16(-kInf).has_value());
  EXPECT_FALSE(ToInt16(std::nan("")).has_value());
}

}  // namespace
}  // namespace matcalc
