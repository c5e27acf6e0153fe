// The conversions between doubles and decimal text give the same bytes and
// values on every standard library: the C-library path is held against the
// library's <charconv> on many values where both exist, and both paths against
// hard cases with known answers everywhere.
#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/bits.h"
#include "text/float_chars.h"

namespace matcalc {
namespace {

using testing::Bits;
using testing::FromBits;

using ToChars = std::to_chars_result (*)(char*, char*, double, int);
using FromChars = std::from_chars_result (*)(const char*, const char*, double&);

std::string Text(ToChars convert, double value, int precision) {
  char buf[512];
  const auto res = convert(buf, buf + sizeof buf, value, precision);
  if (res.ec != std::errc{}) return "(too large)";
  return std::string(buf, res.ptr);
}

struct Parsed {
  double value;
  std::errc ec;
  std::size_t used;
  bool operator==(const Parsed& other) const {
    // Bit patterns, so that -0 and 0 differ and NaN equals NaN.
    return Bits(value) == Bits(other.value) && ec == other.ec && used == other.used;
  }
};

std::ostream& operator<<(std::ostream& out, const Parsed& p) {
  return out << p.value << " (" << static_cast<int>(p.ec) << ", " << p.used << " chars)";
}

Parsed Parse(FromChars convert, const std::string& text) {
  double value = -12345;  // left alone on errors
  const auto res = convert(text.data(), text.data() + text.size(), value);
  return {value, res.ec, static_cast<std::size_t>(res.ptr - text.data())};
}

// Values where rounding is hardest: random bit patterns of every exponent,
// subnormals, powers of ten and their neighbours, exact decimal ties, and the
// values where the 15-digit text changes between plain and E notation.
std::vector<double> HardValues() {
  std::vector<double> values;
  std::mt19937_64 rng(20261207);
  for (int i = 0; i < 60000; ++i) {
    const double v = FromBits(rng());
    if (std::isfinite(v)) values.push_back(v);
  }
  for (int i = 0; i < 5000; ++i) {  // subnormals
    values.push_back(FromBits(rng() & 0x800F'FFFF'FFFF'FFFFull));
  }
  values.push_back(std::numeric_limits<double>::denorm_min());
  values.push_back(std::numeric_limits<double>::min());
  values.push_back(std::numeric_limits<double>::max());
  for (int e = -320; e <= 308; ++e) {
    const double p = std::pow(10.0, e);
    values.push_back(p);
    values.push_back(std::nextafter(p, 0.0));
    values.push_back(std::nextafter(p, HUGE_VAL));
    // Where 15 or 17 digits round up to the next power of ten, or just fail to.
    for (const double below : {1 - 5e-16, 1 - 5e-18}) {
      double v = std::nextafter(std::nextafter(p * below, 0.0), 0.0);
      for (int i = 0; i < 5; ++i, v = std::nextafter(v, HUGE_VAL)) values.push_back(v);
    }
  }
  // Exact ties at 15 significant digits: 16-digit integers ending in 5.
  for (int i = 0; i < 5000; ++i) {
    const std::uint64_t n = 1'000'000'000'000'000ull + rng() % 8'000'000'000'000'000ull;
    values.push_back(static_cast<double>(n / 10 * 10 + 5));
  }
  // Exact ties at fixed places: multiples of small powers of two.
  for (int i = 0; i < 5000; ++i) {
    values.push_back(static_cast<double>(static_cast<std::int64_t>(rng() % 2'000'001) - 1'000'000) /
                     static_cast<double>(1 << (1 + i % 12)));
  }
  // Around the switch between plain and E notation, and its rounding carries.
  for (const double edge : {1e-5, 1e-4, 1e14, 1e15, 9.999999999999995e14, 9.999999999999995e-5,
                            9.9999999999999950e-6, 0.5, 1.0, 10.0}) {
    double v = edge;
    for (int i = 0; i < 20; ++i) v = std::nextafter(v, 0.0);
    for (int i = 0; i < 41; ++i, v = std::nextafter(v, HUGE_VAL)) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  return values;
}

TEST(FloatChars, HardCasesHaveTheirKnownTextOnEveryPath) {
  for (const ToChars sci : {ToChars{&ScientificChars}, ToChars{&portable::ScientificChars}}) {
    EXPECT_EQ(Text(sci, 2.5, 0), "2e+00");  // exact ties go to the even digit
    EXPECT_EQ(Text(sci, 3.5, 0), "4e+00");
    EXPECT_EQ(Text(sci, 1234567890123455.0, 14), "1.23456789012346e+15");
    EXPECT_EQ(Text(sci, 1234567890123465.0, 14), "1.23456789012346e+15");
    EXPECT_EQ(Text(sci, -0.1, 14), "-1.00000000000000e-01");
    EXPECT_EQ(Text(sci, 1e23, 16), "9.9999999999999992e+22");
    EXPECT_EQ(Text(sci, 5e-324, 14), "4.94065645841247e-324");
    EXPECT_EQ(Text(sci, 1.7976931348623157e308, 14), "1.79769313486232e+308");
    EXPECT_EQ(Text(sci, 9.9999999999999995e14, 14), "1.00000000000000e+15");
    EXPECT_EQ(Text(sci, 0.0, 14), "0.00000000000000e+00");
  }
  for (const ToChars fixed : {ToChars{&FixedChars}, ToChars{&portable::FixedChars}}) {
    EXPECT_EQ(Text(fixed, 0.125, 2), "0.12");
    EXPECT_EQ(Text(fixed, 0.375, 2), "0.38");
    EXPECT_EQ(Text(fixed, -2.5, 0), "-2");
    EXPECT_EQ(Text(fixed, 0.1, 15), "0.100000000000000");
    EXPECT_EQ(Text(fixed, 1e22, 1), "10000000000000000000000.0");
  }
  for (const FromChars parse : {FromChars{&ParseDouble}, FromChars{&portable::ParseDouble}}) {
    EXPECT_EQ(Parse(parse, "9007199254740993"), (Parsed{9007199254740992.0, {}, 16}));
    EXPECT_EQ(Parse(parse, "9007199254740993.00000000000000000000001"),
              (Parsed{9007199254740994.0, {}, 40}));
    EXPECT_EQ(Parse(parse, "2.4703282292062328e-324"),
              (Parsed{std::numeric_limits<double>::denorm_min(), {}, 23}));
    EXPECT_EQ(Parse(parse, "1e400"), (Parsed{-12345, std::errc::result_out_of_range, 5}));
    EXPECT_EQ(Parse(parse, "1e-400"), (Parsed{-12345, std::errc::result_out_of_range, 6}));
    EXPECT_EQ(Parse(parse, "-0.000"), (Parsed{-0.0, {}, 6}));
    EXPECT_EQ(Parse(parse, ".5e"), (Parsed{0.5, {}, 2}));  // the exponent needs a digit
    EXPECT_EQ(Parse(parse, "12e+3x"), (Parsed{12000, {}, 5}));
    EXPECT_EQ(Parse(parse, "0x10"), (Parsed{0, {}, 1}));  // no hexadecimal
    EXPECT_EQ(Parse(parse, "+1"), (Parsed{-12345, std::errc::invalid_argument, 0}));
    EXPECT_EQ(Parse(parse, " 1"), (Parsed{-12345, std::errc::invalid_argument, 0}));
    EXPECT_EQ(Parse(parse, "."), (Parsed{-12345, std::errc::invalid_argument, 0}));
    EXPECT_EQ(Parse(parse, "-Infinity"), (Parsed{-HUGE_VAL, {}, 9}));
  }
}

TEST(FloatChars, CLibraryPathGivesTheLibraryBytes) {
  if (!kLibraryFloatChars) {
    GTEST_SKIP() << "this standard library has no floating-point <charconv> to compare with";
  }
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> precision(0, 20);
  std::uniform_int_distribution<int> places(0, 15);
  for (const double v : HardValues()) {
    ASSERT_EQ(Text(&portable::ScientificChars, v, 14), Text(&ScientificChars, v, 14)) << v;
    if (v > 0) {
      std::uint64_t digits[2] = {};
      int exponents[2] = {};
      ASSERT_TRUE(portable::ScientificDigits(v, 14, digits[0], exponents[0])) << v;
      ASSERT_TRUE(ScientificDigits(v, 14, digits[1], exponents[1])) << v;
      ASSERT_EQ(digits[0], digits[1]) << v;
      ASSERT_EQ(exponents[0], exponents[1]) << v;
    }
    const int p = precision(rng);
    ASSERT_EQ(Text(&portable::ScientificChars, v, p), Text(&ScientificChars, v, p)) << v;
    if (std::fabs(v) < 1e20) {
      const int d = places(rng);
      ASSERT_EQ(Text(&portable::FixedChars, v, d), Text(&FixedChars, v, d)) << v;
    }
  }
}

TEST(FloatChars, CLibraryPathReadsTheLibraryValues) {
  if (!kLibraryFloatChars) {
    GTEST_SKIP() << "this standard library has no floating-point <charconv> to compare with";
  }
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> precision(0, 25);
  for (const double v : HardValues()) {
    // The value's own text, shortened and lengthened: every rounding of the
    // digits between the neighbours, the ties among them.
    const std::string text = Text(&ScientificChars, v, precision(rng));
    ASSERT_EQ(Parse(&portable::ParseDouble, text), Parse(&ParseDouble, text)) << text;
  }
  // Decimal ties between neighbouring doubles, written exactly: the middle of
  // v and its successor has at most 770 significant digits.
  std::mt19937_64 bits(3);
  for (int i = 0; i < 3000; ++i) {
    double v = FromBits(bits() & 0x7FFF'FFFF'FFFF'FFFFull);
    if (!std::isfinite(v) || v == std::numeric_limits<double>::max()) continue;
    if (i % 3 == 0) v = std::ldexp(v, -std::ilogb(v) + static_cast<int>(bits() % 200) - 100);
    const long double middle =
        (static_cast<long double>(v) + static_cast<long double>(std::nextafter(v, HUGE_VAL))) / 2;
    char buf[1200];
    const int length = std::snprintf(buf, sizeof buf, "%.780Le", middle);
    ASSERT_GT(length, 0);
    std::string text(buf, static_cast<std::size_t>(length));
    const std::size_t point = text.find_first_of(".,");
    if (point != std::string::npos) text[point] = '.';
    ASSERT_EQ(Parse(&portable::ParseDouble, text), Parse(&ParseDouble, text)) << text;
  }
  // Up to 15 digits with a small exponent: the exact shortcut.
  std::uniform_int_distribution<std::uint64_t> whole(0, 999'999'999'999'999);
  std::uniform_int_distribution<int> small_exponent(-40, 40);
  for (int i = 0; i < 30000; ++i) {
    std::string text = std::to_string(whole(rng) >> (i % 50));
    if (i % 3 == 0) {
      std::string pointed = text.substr(0, text.size() / 2);
      pointed += '.';
      pointed.append(text, text.size() / 2);
      text = pointed;
    }
    if (i % 5 != 0) {
      text += 'e';
      text += std::to_string(small_exponent(rng));
    }
    ASSERT_EQ(Parse(&portable::ParseDouble, text), Parse(&ParseDouble, text)) << text;
  }
  // Random short decimal texts of every magnitude, overflow and underflow
  // included.
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> length(1, 30);
  std::uniform_int_distribution<int> exponent(-360, 330);
  for (int i = 0; i < 30000; ++i) {
    std::string text = i % 2 == 0 ? "" : "-";
    const int n = length(rng);
    for (int k = 0; k < n; ++k) {
      if (k == n / 3) text += '.';
      text += static_cast<char>('0' + digit(rng));
    }
    text += 'e';
    text += std::to_string(exponent(rng));
    ASSERT_EQ(Parse(&portable::ParseDouble, text), Parse(&ParseDouble, text)) << text;
  }
}

// A window may run in a locale with a decimal comma; the text stays the same.
TEST(FloatChars, CLibraryPathIgnoresTheLocalesDecimalComma) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  EXPECT_EQ(Text(&portable::ScientificChars, -1.5, 3), "-1.500e+00");
  EXPECT_EQ(Text(&portable::FixedChars, 2.25, 1), "2.2");
  EXPECT_EQ(Parse(&portable::ParseDouble, "2.75e1"), (Parsed{27.5, {}, 6}));
  std::setlocale(LC_NUMERIC, previous.c_str());
}

}  // namespace
}  // namespace matcalc
