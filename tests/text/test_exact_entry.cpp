#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "text/evaluator.h"
#include "text/exact_entry.h"
#include "text/number_text.h"
#include "text/rational.h"

namespace matcalc {
namespace {

// Equal, or both not a number.
bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

struct Row {
  const char* entry;
  const char* exact;  // the fraction's text, or nullptr when not exact
};

TEST(ExactEntry, ValuesAndRefusals) {
  const Row rows[] = {
      // Numbers: exactly the characters the leading-number rule reads.
      {"0.1", "1/10"},
      {"1.5e-3", "3/2000"},
      {"-1.25E2", "-125"},
      {"1.2.3", "6/5"},
      {".5", "1/2"},
      {"0.000", "0"},
      {"1e400", nullptr},
      {"1e-400", nullptr},
      {"2*1e-400", nullptr},
      // The four operations, powers, abs and square roots of squares.
      {"1/3", "1/3"},
      {"1/3+1/6", "1/2"},
      {"0.1+0.2-0.3", "0"},
      {"2^-2", "1/4"},
      {"(2/3)^3", "8/27"},
      {"2^1000/2^999", "2"},
      {"2^4096/2^4095", nullptr},  // 2^4096 overflows the double
      {"2^4097", nullptr},
      {"2^0.5", nullptr},
      {"0^0", "1"},
      {"0^-1", nullptr},
      {"(-8)^(1/3)", nullptr},
      {"abs(-1/3)", "1/3"},
      {"sqr(9/4)", "3/2"},
      {"sqr(2)", nullptr},
      {"2*-3^2", nullptr},  // compared with the decimal reading below
      // Integer division rounds its operands as the decimal rule does.
      {"7\\2", "3"},
      {"-7\\2", "-3"},
      {"2.5\\1", "2"},
      {"3.5\\1", "4"},
      {"1\\0", nullptr},
      {"3e9\\1", nullptr},
      // Not exact: pi, other functions, a division by zero, an overflow.
      {"pi", nullptr},
      {"2*pi", nullptr},
      {"2pi", "2"},  // the two operands "2" and "+3.14..." without an operator
      {"pi-pi", nullptr},
      {"sin(0)", nullptr},
      {"exp(0)", nullptr},
      {"1/0", nullptr},
      {"1/(1-1)", nullptr},
      {"1e308*10", nullptr},
      // x is 0; malformed entries keep the decimal reading's operands.
      {"x", "0"},
      {"x+1/2", "1/2"},
      {"f(x)=1/3", "1/3"},
      {"12abc", "12"},
      {"2*(3", "2"},
      {"1/3=5", "1/3"},
      {"", "0"},
  };
  for (const Row& row : rows) {
    const ExactEntryReading exact = ReadEntryExact(row.entry);
    const EntryReading decimal = ReadEntry(row.entry);
    EXPECT_TRUE(Same(exact.value, decimal.value)) << row.entry;
    EXPECT_EQ(exact.whole, decimal.whole) << row.entry;
    if (std::string(row.entry) == "2*-3^2") {
      ASSERT_TRUE(exact.exact.has_value());
      EXPECT_EQ(RationalToDouble(*exact.exact), decimal.value);
      continue;
    }
    if (row.exact == nullptr) {
      EXPECT_FALSE(exact.exact.has_value()) << row.entry << " = " << FormatRational(*exact.exact);
    } else if (!exact.exact.has_value()) {
      ADD_FAILURE() << row.entry << " is not exact";
    } else {
      EXPECT_EQ(FormatRational(*exact.exact), row.exact) << row.entry;
    }
  }
}

// The exact value rounds to the decimal reading: the same operands and
// operators, differing only by the decimal roundings along the way.
void ExpectAgreement(const std::string& entry) {
  const ExactEntryReading exact = ReadEntryExact(entry);
  const EntryReading decimal = ReadEntry(entry);
  ASSERT_TRUE(Same(exact.value, decimal.value)) << entry;
  ASSERT_EQ(exact.whole, decimal.whole) << entry;
  if (!exact.exact) return;
  const double rounded = RationalToDouble(*exact.exact);
  const double scale = std::fmax(1.0, std::fabs(rounded));
  EXPECT_LE(std::fabs(rounded - decimal.value), 1e-9 * scale)
      << entry << " = " << FormatRational(*exact.exact) << " ~ " << FormatNumber(decimal.value);
}

// Random expressions from a small grammar of numbers, the exact operators,
// powers, functions and malformed tails. The engine's raw outputs are the
// same on every platform.
class ExpressionMaker {
 public:
  explicit ExpressionMaker(std::uint32_t seed) : engine_(seed) {}
  std::string Make(int depth) {
    const std::uint32_t kind = Pick(depth <= 0 ? 3 : 12);
    switch (kind) {
      case 0:
        return std::to_string(Pick(100));
      case 1:
        return std::to_string(Pick(1000)) + "." + std::to_string(Pick(1000));
      case 2:
        return std::to_string(Pick(9) + 1) + "e-" + std::to_string(Pick(4));
      case 3:
      case 4:
        return Make(depth - 1) + "+" + Make(depth - 1);
      case 5:
        return Make(depth - 1) + "-" + Make(depth - 1);
      case 6:
        return Make(depth - 1) + "*" + Make(depth - 1);
      case 7:
        return "(" + Make(depth - 1) + ")/(" + Make(depth - 1) + ")";
      case 8:
        return "(" + Make(depth - 1) + ")^" + std::to_string(static_cast<int>(Pick(7)) - 3);
      case 9: {
        static const char* const kFunctions[] = {"abs", "sqr", "sin", "-"};
        return std::string(kFunctions[Pick(4)]) + "(" + Make(depth - 1) + ")";
      }
      case 10:
        return Make(depth - 1) + "\\" + Make(depth - 1);
      default: {
        static const char* const kTails[] = {"", "abc", "*(", "=7", "pi", " x"};
        return Make(depth - 1) + kTails[Pick(6)];
      }
    }
  }

 private:
  std::uint32_t Pick(std::uint32_t n) { return static_cast<std::uint32_t>(engine_() % n); }
  std::mt19937 engine_;
};

TEST(ExactEntry, AgreesWithDecimalReadingOnRandomExpressions) {
  ExpressionMaker maker(24);
  int exact = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string entry = maker.Make(4);
    ExpectAgreement(entry);
    if (ReadEntryExact(entry).exact) ++exact;
  }
  // Most of the grammar is exact: the comparison is not vacuous.
  EXPECT_GT(exact, 1000);
}

TEST(ExactEntry, AgreesWithDecimalReadingOnFuzzCorpus) {
  const std::filesystem::path corpus = MATCALC_FUZZ_CORPUS;
  int files = 0;
  for (const auto& file : std::filesystem::directory_iterator(corpus)) {
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    ++files;
    ExpectAgreement(text);
    // And every piece between separators, as the readers cut them.
    std::string piece;
    for (const char c : text + "\n") {
      if (c == ' ' || c == ',' || c == '\n' || c == '\r') {
        ExpectAgreement(piece);
        piece.clear();
      } else {
        piece.push_back(c);
      }
    }
  }
  EXPECT_GT(files, 0);
}

TEST(ExactEntry, LongEntries) {
  // A plain number is read exactly however long; a long expression is not.
  const std::string digits = "0." + std::string(700, '3');
  const auto plain = EvaluateEntryExact(digits);
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(Denominator(*plain),
            BigInt(Numerator(DecimalRational("1" + std::string(700, '0'), 0, false))));
  std::string sum = "1";
  for (int i = 0; i < 600; ++i) sum += "+1";
  EXPECT_FALSE(EvaluateEntryExact(sum).has_value());
  EXPECT_FALSE(EvaluateEntryExact("1" + std::string(900, '0')).has_value());
}

}  // namespace
}  // namespace matcalc
