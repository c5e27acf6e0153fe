#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/bits.h"
#include "text/float_chars.h"
#include "text/number_text.h"

namespace matcalc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(FormatNumber, FifteenSignificantDigitsPlainOrScientific) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.5, "0.5"},
      {-2, "-2"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {100000, "100000"},
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {1e15, "1E+15"},
      {1.5e17, "1.5E+17"},
      {2.0 / 3 * 1e20, "6.66666666666667E+19"},
      {1.5e-300, "1.5E-300"},
      {0, "0"},
      {123456789012345, "123456789012345"},
      {-0.000123, "-0.000123"},
      {1e100, "1E+100"},
      {std::sqrt(2.0), "1.4142135623731"},  // the 15th digit is a 0
      {3.0000000000000013, "3"},
      {1.9999999999999964, "2"},
      {999999999999999.9, "1E+15"},         // rounding carries into the exponent
      {0.000099999999999999999, "0.0001"},  // and back into plain notation
      {-1.23456789012345e-300, "-1.23456789012345E-300"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << c.text;
}

TEST(FormatNumber, ValuesThatAreNotFiniteAndNegativeZero) {
  EXPECT_EQ(FormatNumber(kInf), "Infinity");
  EXPECT_EQ(FormatNumber(-kInf), "-Infinity");
  EXPECT_EQ(FormatNumber(std::nan("")), "NaN");
  EXPECT_EQ(FormatNumber(-0.0), "0");
}

TEST(FormatNumber, AppendNumberAppendsTheSameText) {
  std::string out = "x=";
  AppendNumber(out, -0.5);
  AppendNumber(out, 1e-5);
  EXPECT_EQ(out, "x=-0.51E-05");
}

TEST(Field24, RightAlignsTheDefaultText) {
  EXPECT_EQ(Field24(1), std::string(23, ' ') + "1");
  EXPECT_EQ(Field24(-0.5), std::string(20, ' ') + "-0.5");
  EXPECT_EQ(Field24(0.333333), std::string(16, ' ') + "0.333333");
  EXPECT_EQ(Field24(-kInf), std::string(15, ' ') + "-Infinity");
  // The longest default text still leaves two spaces.
  EXPECT_EQ(Field24(-1.23456789012345e-300), "  -1.23456789012345E-300");
  std::string out = "|";
  AppendField24(out, 2);
  AppendField24(out, 3);
  EXPECT_EQ(out, "|" + std::string(23, ' ') + "2" + std::string(23, ' ') + "3");
}

// A row of fields is the fields one after another, whatever the row's length
// and wherever the text ends before it.
TEST(Field24, ARowIsItsFieldsInTurn) {
  std::vector<double> values;
  for (int i = 0; i < 70; ++i)
    values.push_back((i % 7 == 3 ? -1 : 1) * std::ldexp(i * 0.7 + 0.1, i - 30));
  values[5] = kInf;
  values[6] = std::nan("");
  values[40] = -0.0;
  for (const std::size_t count : {0, 1, 19, 20, 21, 40, 41, 70}) {
    for (std::size_t lead = 0; lead < 9; ++lead) {
      std::string row(lead, 'x');
      std::string expected = row;
      AppendFields24(row, values.data(), count);
      for (std::size_t i = 0; i < count; ++i) AppendField24(expected, values[i]);
      ASSERT_EQ(row, expected) << count << " fields after " << lead << " bytes";
    }
  }
}

TEST(RoundTo, NearestWithExactTiesToEven) {
  EXPECT_EQ(RoundTo(2.5, 0), 2);
  EXPECT_EQ(RoundTo(3.5, 0), 4);
  EXPECT_EQ(RoundTo(0.5, 0), 0);
  EXPECT_EQ(RoundTo(-2.5, 0), -2);
  EXPECT_EQ(RoundTo(0.125, 2), 0.12);
  EXPECT_EQ(RoundTo(0.375, 2), 0.38);
  EXPECT_EQ(RoundTo(1.0 / 3, 6), 0.333333);
  EXPECT_EQ(RoundTo(2.0 / 3, 6), 0.666667);
  // Not ties in binary: 2.675 is stored below the half, 1.005 too.
  EXPECT_EQ(RoundTo(2.675, 2), 2.67);
  EXPECT_EQ(RoundTo(1.005, 2), 1.0);
  EXPECT_EQ(RoundTo(123456.7890125, 15), 123456.7890125);
  EXPECT_EQ(RoundTo(1e20, 3), 1e20);
  EXPECT_EQ(FormatNumber(RoundTo(-0.0001, 2)), "0");
}

TEST(RoundTo, MoreThanFifteenPlacesAndNonFiniteValuesAreUnchanged) {
  const double third = 1.0 / 3;
  EXPECT_EQ(RoundTo(third, 16), third);
  EXPECT_EQ(RoundTo(third, 15), 0.333333333333333);
  EXPECT_EQ(RoundTo(kInf, 3), kInf);
  EXPECT_EQ(RoundTo(-kInf, 3), -kInf);
  EXPECT_TRUE(std::isnan(RoundTo(std::nan(""), 3)));
}

using testing::Bits;
using testing::FromBits;

// The rounding as the decimal text gives it: the correctly rounded fixed text
// (exact ties to even) read back as the nearest double.
double RoundThroughText(double value, int places) {
  char buf[400];
  const auto res = FixedChars(buf, buf + sizeof buf, value, places);
  double rounded = value;
  ParseDouble(buf, res.ptr, rounded);
  return rounded;
}

// Compares the encodings, so that a zero of the wrong sign is caught too.
::testing::AssertionResult SameAsText(double value, int places) {
  const double got = RoundTo(value, places);
  const double want = RoundThroughText(value, places);
  if (Bits(got) == Bits(want)) return ::testing::AssertionSuccess();
  char buf[128];
  std::snprintf(buf, sizeof buf, "%a to %d places: %a, not %a", value, places, got, want);
  return ::testing::AssertionFailure() << buf;
}

// A value and its neighbours up to `ulps` doubles away on either side.
template <typename Check>
void AroundValue(double value, int ulps, Check check) {
  double below = value;
  double above = value;
  check(value);
  for (int i = 0; i < ulps; ++i) {
    below = std::nextafter(below, -kInf);
    above = std::nextafter(above, kInf);
    check(below);
    check(above);
  }
}

constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

TEST(RoundTo, AgreesWithTheTextOnAnyEncoding) {
  std::mt19937_64 rng(2026);
  int checked = 0;
  for (int i = 0; i < 600000; ++i) {
    const double value = FromBits(rng());
    if (!std::isfinite(value)) continue;
    ASSERT_TRUE(SameAsText(value, static_cast<int>(rng() % 16)));
    ++checked;
  }
  EXPECT_GT(checked, 590000);
}

// Every magnitude where the scaled value leaves the fast path: up to and
// beyond 2^53 / 10^p, and the subnormal and largest values.
TEST(RoundTo, AgreesWithTheTextAtEveryMagnitude) {
  std::mt19937_64 rng(53);
  std::uniform_real_distribution<double> unit(1, 2);
  for (int p = 0; p <= 15; ++p) {
    for (int i = 0; i < 40000; ++i) {
      // 2^-60 .. 2^8 times 2^53 / 10^p, densest around 2^40..2^56 / 10^p.
      const int shift =
          i % 2 ? static_cast<int>(rng() % 69) - 60 : static_cast<int>(rng() % 17) - 13;
      const double value = std::ldexp(unit(rng), 53 + shift) / kPowers[p];
      ASSERT_TRUE(SameAsText(i % 3 ? value : -value, p));
    }
    for (const double value :
         {0.0, -0.0, std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min(),
          std::numeric_limits<double>::min(), std::numeric_limits<double>::max(),
          -std::numeric_limits<double>::max(), 0x1p52, 0x1p53, 0x1p-1022 * 0.75, 1e-300, 9e15,
          std::ldexp(1.0, 53) / kPowers[p], std::ldexp(1.0, 52) / kPowers[p],
          std::ldexp(1.0, 40) / kPowers[p], 0.5 / kPowers[p], -0.5 / kPowers[p]}) {
      AroundValue(value, 3, [&](double v) { ASSERT_TRUE(SameAsText(v, p)); });
    }
  }
  // Integers around 2^52 and 2^53, where halves and then odd integers run out.
  for (const double start : {0x1p52, 0x1p53, 0x1p51}) {
    AroundValue(start, 200, [](double v) {
      for (int p = 0; p <= 15; ++p) ASSERT_TRUE(SameAsText(v, p));
    });
  }
  EXPECT_EQ(std::signbit(RoundTo(-0.0, 3)), true);
  EXPECT_EQ(std::signbit(RoundTo(-0x1p-1074, 15)), true);
  EXPECT_EQ(std::signbit(RoundTo(-0.4e-15, 15)), true);
}

// Decimal ties (k + 1/2) / 10^p and short decimals k / 10^p with their nearest
// doubles and the doubles a few steps away, k from 0 to beyond 2^53.
TEST(RoundTo, AgreesWithTheTextNearTiesAndShortDecimals) {
  std::mt19937_64 rng(10);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int p = 0; p <= 15; ++p) {
    for (int i = 0; i < 12000; ++i) {
      // k log-uniform in 1 .. 2^54.
      const double k = std::floor(std::exp2(unit(rng) * 54));
      const double sign = i % 2 ? -1 : 1;
      const auto check = [&](double v) { ASSERT_TRUE(SameAsText(v, p)); };
      if (k < 0x1p52) AroundValue(sign * (k + 0.5) / kPowers[p], 4, check);
      AroundValue(sign * k / kPowers[p], 2, check);
    }
    // The smallest ties of all: half a unit of the last place.
    for (int k = 0; k < 200; ++k) {
      AroundValue((k + 0.5) / kPowers[p], 4, [&](double v) { ASSERT_TRUE(SameAsText(v, p)); });
    }
  }
}

// The fast path must agree with the exact decimal rounding everywhere.
TEST(RoundTo, AgreesWithExactDecimalRounding) {
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-8, 12);
  std::uniform_int_distribution<int> places(0, 15);
  for (int i = 0; i < 200000; ++i) {
    double value = mantissa(rng) * std::pow(10.0, exponent(rng));
    // Every fourth value sits on a short decimal, where ties live.
    if (i % 4 == 0) value = std::round(value * 1000) / 8000;
    const int d = places(rng);
    char buf[400];
    const auto res = FixedChars(buf, buf + sizeof buf, value, d);
    double exact = 0;
    ParseDouble(buf, res.ptr, exact);
    ASSERT_EQ(RoundTo(value, d), exact) << std::string(buf, res.ptr) << " from " << value;
  }
}

}  // namespace
}  // namespace matcalc
