#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "text/float_chars.h"
#include "text/rational.h"

namespace matcalc {
namespace {

TEST(Rational, Text) {
  struct Case {
    Rational value;
    const char* text;
    const char* field;
  };
  const Case cases[] = {
      {Rational(0), "0", "                       0"},
      {Rational(BigInt(-3), BigInt(4)), "-3/4", "                    -3/4"},
      {MakeRational(BigInt(6), BigInt(-8)), "-3/4", "                    -3/4"},
      {Rational(BigInt(10), BigInt(5)), "2", "                       2"},
      // 23 characters fill the field; 24 and more follow two spaces.
      {Rational(BigInt("1234567890123"), BigInt("1234567891")), "1234567890123/1234567891",
       "  1234567890123/1234567891"},
      {Rational(BigInt("123456789012"), BigInt("1234567891")), "123456789012/1234567891",
       " 123456789012/1234567891"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatRational(c.value), c.text);
    EXPECT_EQ(RationalField24(c.value), c.field);
  }
}

// RationalToDouble rounds correctly: against the decimal parser on random
// decimal numbers, whose exact values are fractions.
TEST(Rational, ToDoubleRoundsAsTheDecimalParser) {
  std::mt19937_64 engine(7);
  for (int i = 0; i < 20000; ++i) {
    std::string digits = std::to_string(engine() % 100000000000000000ULL + 1);
    if (i % 3 == 0) digits += std::to_string(engine());
    const long long exponent = static_cast<long long>(engine() % 600) - 320;
    const bool negative = (engine() & 1U) != 0;
    const std::string text = (negative ? "-" : "") + digits + "e" + std::to_string(exponent);
    double expected = 0;
    ParseDouble(text.data(), text.data() + text.size(), expected);
    if (std::fabs(expected) < 2.2250738585072014e-308) continue;  // subnormal: not promised
    EXPECT_EQ(RationalToDouble(DecimalRational(digits, exponent, negative)), expected) << text;
  }
  // Ties go to the even significand.
  const Rational tie = Rational(BigInt(1) << 53) + Rational(1);
  EXPECT_EQ(RationalToDouble(tie), 9007199254740992.0);
  EXPECT_EQ(RationalToDouble(tie + Rational(2)), 9007199254740996.0);
  EXPECT_EQ(RationalToDouble(Rational(BigInt(1) << 1100)), HUGE_VAL);
}

TEST(Rational, FromDoubleAndSquareRoots) {
  for (const double v : {0.1, -3.75, 1e300, 5e-324, 123456789.0}) {
    EXPECT_EQ(RationalToDouble(RationalFromDouble(v)), v);
  }
  EXPECT_EQ(RationalFromDouble(0.5), Rational(BigInt(1), BigInt(2)));
  Rational root;
  EXPECT_TRUE(ExactSquareRoot(Rational(BigInt(9), BigInt(4)), root));
  EXPECT_EQ(root, Rational(BigInt(3), BigInt(2)));
  EXPECT_FALSE(ExactSquareRoot(Rational(2), root));
  EXPECT_FALSE(ExactSquareRoot(Rational(BigInt(9), BigInt(2)), root));
  EXPECT_FALSE(ExactSquareRoot(Rational(-1), root));
}

TEST(Rational, DivisionByZeroThrows) {
  // Must throw, not abort: the WebAssembly build relies on its exceptions.
  const Rational zero(0);
  EXPECT_ANY_THROW({
    const Rational r = Rational(1) / zero;
    (void)r;
  });
}

}  // namespace
}  // namespace matcalc
