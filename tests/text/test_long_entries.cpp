// Long entries are read through a stream of their normalised expression
// (ReadLongEntry) instead of whole copies: the two readings must agree on
// every entry, value (bit for bit) and wholeness.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/bits.h"
#include "text/evaluator.h"

namespace matcalc {
namespace {

using testing::Bits;

// The copying reading, whatever the length (EvaluateEntry on a string
// normalises it in place).
double CopiedValue(std::string_view entry) {
  std::string copy(entry);
  return EvaluateEntry(copy);
}

// Pieces that exercise every stage of the normalisation and every rule of
// the evaluation.
const std::vector<std::string> kPieces = {
    "0",   "1",     "7",     "00",   "9",     ".",      "..",
    "\t",  "\n",    " ",     "#",    "+",     "-",      "*",
    "/",   "\\",    "^",     "(",    ")",     "e",      "E",
    "e+",  "e-",    "E-+",   "pi",   "PI",    "p",      "i",
    "x",   "X",     "f(x)=", "f(x)", "F(X)=", "=",      "sin",
    "cos", "tan",   "atn",   "exp",  "EXP",   "sqr",    "abs",
    "log", "log10", "log2",  "lgg",  "lg2",   "eyp",    "&H",
    "&O",  "&h1F",  "&O17",  "a",    "1e400", "1e-400", "1.5",
    "2.",  ".5",    "e5",    "E+2",  "1E-2",  "3e",     "123456789012345678901234567890"};

std::string RandomEntry(std::mt19937& random, int max_pieces) {
  std::uniform_int_distribution<int> count(1, max_pieces);
  std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
  std::string entry;
  for (int n = count(random); n > 0; --n) entry += kPieces[pick(random)];
  return entry;
}

TEST(ReadLongEntry, AgreesWithTheCopyingReadingOnRandomEntries) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 100000; ++i) {
    const std::string entry = RandomEntry(random, 12);
    if (entry.size() > kLongEntryBytes) continue;
    const EntryReading copied = ReadEntry(entry);
    const EntryReading streamed = ReadLongEntry(entry);
    ASSERT_EQ(Bits(streamed.value), Bits(copied.value)) << entry;
    ASSERT_EQ(streamed.whole, copied.whole) << entry;
  }
}

// Entries longer than the step limit and the copying threshold, of the
// shapes that made the copies large: constants, tabs, runs of digits,
// zeros and points, signs and exponents running far.
TEST(ReadLongEntry, AgreesWithTheCopyingReadingOnLongEntries) {
  auto repeat = [](std::string_view piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
  };
  std::mt19937 random(7);
  std::vector<std::string> entries = {
      repeat("pi\t", 20000),
      repeat("pi", 20000),
      repeat("1\t", 20000),
      repeat("1", 30000),
      repeat("0\t", 20000) + "5",
      "0." + repeat("0\t", 20000) + "25e1",
      repeat("1", 2000) + "." + repeat("9", 2000) + "e-" + repeat("0", 500) + "7",
      "1" + repeat("\t", 30000) + "2",
      repeat("1.2\t", 9000),
      repeat("x+", 9000),
      repeat("2*-", 9000) + "3",
      repeat("(", 30000),
      repeat("sin", 9000),
      "f(x)=" + repeat("1\t", 9000) + "=5",
      repeat("1", 3000) + "e" + repeat("0", 3000) + "12",
      repeat("1", 3000) + "E-" + repeat("1", 20),
      "-" + repeat("0", 5000) + ".000" + repeat("3\t", 2000),
      repeat("#", 5000) + "5",
      repeat("5", 1500) + repeat("\t", 1500) + repeat("#", 1500),
  };
  for (int i = 0; i < 150; ++i) entries.push_back(RandomEntry(random, 600));
  for (const std::string& entry : entries) {
    const EntryReading streamed = ReadLongEntry(entry);
    ASSERT_EQ(Bits(streamed.value), Bits(CopiedValue(entry))) << entry.substr(0, 60);
    ASSERT_EQ(Bits(EvaluateEntry(std::string_view(entry))), Bits(streamed.value));
  }
}

}  // namespace
}  // namespace matcalc
