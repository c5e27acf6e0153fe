#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "linalg/readers.h"
#include "text/evaluator.h"
#include "text/text_util.h"

namespace matcalc {
namespace {

using Rows = std::vector<std::vector<double>>;

// Rows 1..n, columns 1..width of `a`.
Rows RowsOf(const Matrix& a, int n, int width) {
  Rows rows;
  for (int i = 1; i <= n; ++i) {
    std::vector<double> row;
    for (int j = 1; j <= width; ++j) row.push_back(a(i, j));
    rows.push_back(row);
  }
  return rows;
}

Rows Read(std::string_view text, int n) {
  Matrix a;
  ReadMatrix(a, n, text);
  EXPECT_EQ(a.rows(), n);
  EXPECT_EQ(a.cols(), n);
  return RowsOf(a, n, n);
}

Rows ReadSquare(std::string_view text, int n) {
  Matrix a(n, n + 1);
  ReadSquareMatrix(a, n, text);
  for (int i = 0; i <= n; ++i) EXPECT_EQ(a(i, 0), 0) << "column 0 is never written";
  for (int j = 0; j <= n + 1; ++j) EXPECT_EQ(a(0, j), 0) << "row 0 is never written";
  return RowsOf(a, n, n + 1);
}

TEST(ReadMatrix, SeparatorsAllGiveTheSameRows) {
  const Rows expected = {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}};
  for (const char* text : {
           "1 2 3\r\n4 5 6\r\n7 8 10",
           "1 2 3\r\n4 5 6\r\n7 8 10\r\n",
           "1     2  3\r\n4         5   6\r\n7 8                  10",
           "1,2,3\r\n4,5,6\r\n7,8,10",
           "1, 2, 3\r\n4, 5, 6\r\n7, 8, 10",
           "1 , 2 , 3\r\n4 , 5 , 6\r\n7 , 8 , 10",
           "1,,2,,,3\r\n4,,,,5 6\r\n7 8 10",
           "1 2 3\n4 5 6\n7 8 10",
           "1 2 3\r4 5 6\r7 8 10",
           "   1 2 3  \r\n   4 5 6\r\n 7 8 10   ",
           "1 2 3 \r\n4 5 6 \r\n7 8 10 \r\n",
       }) {
    EXPECT_EQ(Read(text, 3), expected) << text;
  }
}

TEST(ReadMatrix, BlankLinesBeforeAndBetweenRowsChangeNothing) {
  const Rows expected = {{1, 2}, {3, 4}};
  EXPECT_EQ(Read("\r\n\r\n1 2\r\n\r\n\r\n3 4", 2), expected);
  EXPECT_EQ(Read("1 2\r\n \r\n3 4", 2), expected);
  // Up to eleven line breaks in a row are one row break.
  std::string breaks;
  for (int i = 0; i < 11; ++i) breaks += "\r\n";
  EXPECT_EQ(Read("1 2" + breaks + "3 4", 2), expected);
}

TEST(ReadMatrix, TwelveLineBreaksLeaveOneEmptyRow) {
  std::string breaks;
  for (int i = 0; i < 12; ++i) breaks += "\r\n";
  // The empty row's first entry is 0, the rest repeat the row above.
  EXPECT_EQ(Read("1 2 5" + breaks + "3 4", 3), (Rows{{1, 2, 5}, {0, 2, 5}, {3, 4, 5}}));
}

TEST(ReadMatrix, HashBreaksARowAndSurplusIsIgnored) {
  EXPECT_EQ(Read("1 2 # 3 4", 2), (Rows{{1, 2}, {3, 4}}));
  EXPECT_EQ(Read("1 2 3\r\n4 5 6", 2), (Rows{{1, 2}, {4, 5}}));
  EXPECT_EQ(Read("1 2\r\n3 4\r\n5 6\r\n7 8", 2), (Rows{{1, 2}, {3, 4}}));
}

TEST(ReadMatrix, ShortAndMissingRowsRepeatTheRowAbove) {
  EXPECT_EQ(Read("1 2 3\r\n4 5", 3), (Rows{{1, 2, 3}, {4, 5, 3}, {0, 5, 3}}));
  EXPECT_EQ(Read("1 2 3\r\n4 5 6", 3), (Rows{{1, 2, 3}, {4, 5, 6}, {0, 5, 6}}));
  EXPECT_EQ(Read("1", 3), (Rows{{1, 0, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(ReadMatrix, CommaRunsLeaveEmptyEntries) {
  // Up to four commas are one break; five to eight leave one empty entry,
  // nine to twelve leave two; so does a comma at the very start.
  EXPECT_EQ(Read("1,,,,2", 3), (Rows{{1, 2, 0}, {0, 2, 0}, {0, 2, 0}}));
  EXPECT_EQ(Read("1,,,,,2", 3), (Rows{{1, 0, 2}, {0, 0, 2}, {0, 0, 2}}));
  EXPECT_EQ(Read("1,,,,,,,,2", 3), (Rows{{1, 0, 2}, {0, 0, 2}, {0, 0, 2}}));
  EXPECT_EQ(Read("1,,,,,,,,,2", 4)[0], (std::vector<double>{1, 0, 0, 2}));
  EXPECT_EQ(Read(",1 2", 3)[0], (std::vector<double>{0, 1, 2}));
}

TEST(ReadMatrix, EntriesAreExpressions) {
  EXPECT_EQ(Read("sqr(4) 2^3\r\npi/pi 0", 2), (Rows{{2, 8}, {1, 0}}));
  EXPECT_EQ(Read("2*-3 -1\r\n(1+1) abc", 2), (Rows{{-6, -1}, {2, 0}}));
}

TEST(ReadMatrix, DiscardsWhatTheArrayHeld) {
  Matrix a(5, 5);
  a(1, 1) = 99;
  a(3, 3) = 99;
  ReadMatrix(a, 2, "1 2\r\n3 4");
  EXPECT_EQ(a.rows(), 2);
  EXPECT_EQ(RowsOf(a, 2, 2), (Rows{{1, 2}, {3, 4}}));
  ReadMatrix(a, -3, "1 2");  // no order: an empty matrix, never a fault
  EXPECT_EQ(a.rows(), 0);
  Matrix untouched(1, 2);
  ReadSquareMatrix(untouched, 0, "5 6");
  EXPECT_EQ(untouched(1, 1), 0);
  Matrix empty;
  ReadMatrix(empty, 2, "");
  EXPECT_EQ(RowsOf(empty, 2, 2), (Rows{{0, 0}, {0, 0}}));
}

TEST(ReadSquareMatrix, ReadsUpToNPlusOneEntriesAndRepeatsTheLastColumn) {
  EXPECT_EQ(ReadSquare("1 2 3\r\n4 5 6", 2), (Rows{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(ReadSquare("1 2\r\n3 4", 2), (Rows{{1, 2, 0}, {3, 4, 0}}));
  // An (n+1)-th entry of an earlier row lives on in the row buffer.
  EXPECT_EQ(ReadSquare("1 2 9\r\n3 4\r\n5 6", 2), (Rows{{1, 2, 9}, {3, 4, 9}}));
  EXPECT_EQ(ReadSquare("1 2 3 4 5\r\n6", 2), (Rows{{1, 2, 3}, {6, 2, 3}}));
  EXPECT_EQ(ReadSquare("1 2 3\r\n4 5", 3), (Rows{{1, 2, 3, 0}, {4, 5, 3, 0}, {0, 5, 3, 0}}));
}

// The m x n reader: the same rows as the square readers, m of them, n entries
// at most.
TEST(ReadMatrixOfAnyShape, ShortLongAndMissingRowsAsTheSquareReaders) {
  struct Case {
    const char* text;
    int m;
    int n;
    Rows expected;
  };
  const Case cases[] = {
      {"1 2 3\r\n4 5 6", 2, 3, {{1, 2, 3}, {4, 5, 6}}},
      {"1 2 3\r\n4 5 6", 3, 2, {{1, 2}, {4, 5}, {0, 5}}},  // missing row: 0, then the row above
      {"1 2 3 4 5", 1, 5, {{1, 2, 3, 4, 5}}},
      {"1\r\n2\r\n3\r\n4", 4, 1, {{1}, {2}, {3}, {4}}},
      {"1 2 3 4\r\n5 6\r\n7", 3, 4, {{1, 2, 3, 4}, {5, 6, 3, 4}, {7, 6, 3, 4}}},
      {"1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n13", 2, 4, {{1, 2, 3, 4}, {7, 8, 9, 10}}},
      {"1,2 # 3,,,,,4", 2, 3, {{1, 2, 0}, {3, 0, 4}}},
      {"", 2, 2, {{0, 0}, {0, 0}}},
  };
  for (const Case& c : cases) {
    Matrix a(5, 5);
    a(1, 1) = 9;  // discarded: the reader allocates anew
    ReadMatrix(a, c.m, c.n, c.text);
    ASSERT_EQ(a.rows(), c.m) << c.text;
    ASSERT_EQ(a.cols(), c.n) << c.text;
    EXPECT_EQ(RowsOf(a, c.m, c.n), c.expected) << c.text;
  }
  // With one column more than the unknowns it reads an augmented matrix as
  // the square reader does.
  const char* system = "1 2 9\r\n3 4\r\n5 6";
  Matrix augmented;
  ReadMatrix(augmented, 2, 3, system);
  EXPECT_EQ(RowsOf(augmented, 2, 3), ReadSquare(system, 2));
  // No rows or no columns: an empty matrix, never an allocation from a
  // negative count.
  for (const auto& [m, n] : {std::pair{0, 3}, {3, 0}, {-1, 2}, {2, -5}}) {
    Matrix none;
    ReadMatrix(none, m, n, "1 2 3");
    EXPECT_EQ(none.rows(), 0);
    EXPECT_EQ(none.cols(), 0);
  }
}

TEST(ReadSquareMatrix, LeavesAnArrayAllocatedTooSmallAlone) {
  Matrix a(2, 2);  // no column n+1
  a(1, 1) = 7;
  ReadSquareMatrix(a, 2, "1 2\r\n3 4");
  EXPECT_EQ(a(1, 1), 7);
  Matrix larger(4, 6);
  ReadSquareMatrix(larger, 2, "1 2 3\r\n4 5 6");
  EXPECT_EQ(RowsOf(larger, 3, 4), (Rows{{1, 2, 3, 0}, {4, 5, 6, 0}, {0, 0, 0, 0}}));
}

// Texts beyond the 16-bit length are read in full.
TEST(ReadMatrix, ReadsLongTextsInFull) {
  const int n = 150;
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) text += std::to_string(i * 1000 + j) + "  ";
    text += "\r\n";
  }
  ASSERT_GT(text.size(), 32767u);
  Matrix a;
  ReadMatrix(a, n, text);
  EXPECT_EQ(a(1, 1), 1001);
  EXPECT_EQ(a(n, n), n * 1000 + n);
  EXPECT_EQ(a(77, 33), 77033);
}

TEST(ReadMatrix, ReadsALargeTextWhole) {
  // Its speed is measured by bench_readers, side by side at two sizes.
  const int n = 600;
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) text += (j % 7 == 0 ? "-1.25e-3 " : "12.5 ");
    text += "\r\n";
  }
  Matrix a;
  ReadMatrix(a, n, text);
  EXPECT_EQ(a(1, 1), 12.5);
  EXPECT_EQ(a(n, 7), -1.25e-3);
  EXPECT_EQ(a(n, n - 1), 12.5);
}

TEST(ReadVector, FirstLineOnlySpacesSeparate) {
  std::string text = "   3 -4   12  ";
  Vector v;
  ReadVector(text, v);
  ASSERT_EQ(v.size(), 3);
  EXPECT_EQ(v(1), 3);
  EXPECT_EQ(v(2), -4);
  EXPECT_EQ(v(3), 12);
  EXPECT_EQ(text, "0 3 -4 12");  // left normalised

  const struct {
    const char* text;
    std::vector<double> values;
  } cases[] = {
      {"1 2\r\n3 4", {1, 2}},
      {"\r\n\r\n  5 6", {5, 6}},  // leading blank lines vanish
      {"1,2", {1}},
      {"1,2 3", {1, 3}},
      {"sqr(9) 2*-1 pi/pi", {3, -2, 1}},
      {"1          2", {1, 2}},
      {"", {}},
      {"   ", {}},
      {"\r\n  \r\n", {}},
      {"#5 6", {}},
  };
  for (const auto& c : cases) {
    std::string t = c.text;
    Vector w;
    ReadVector(t, w);
    std::vector<double> values;
    for (int i = 1; i <= w.size(); ++i) values.push_back(w(i));
    EXPECT_EQ(values, c.values) << '"' << c.text << '"';
  }
}

// "1", the given number of spaces, "2".
std::string SpacedPair(int spaces) {
  std::string text(static_cast<std::size_t>(spaces) + 2, ' ');
  text.front() = '1';
  text.back() = '2';
  return text;
}

TEST(ReadVector, EveryRunOfSpacesSeparatesEntriesOfAPracticalVector) {
  for (int spaces = 1; spaces <= 40; ++spaces) {
    std::string text = SpacedPair(spaces);
    Vector v;
    ReadVector(text, v);
    EXPECT_EQ(v.size(), 2) << spaces << " spaces";
  }
  // The collapsing chain is exact: 287 spaces are the shortest run it leaves
  // as two, which reads an empty entry worth 0 between the two.
  std::string text = SpacedPair(287);
  Vector v;
  ReadVector(text, v);
  ASSERT_EQ(v.size(), 3);
  EXPECT_EQ(v(2), 0);
  EXPECT_EQ(v(3), 2);
}

// The readers as the chain of replacements they are defined by, spelled out
// one text at a time: slow, but plainly right.
std::string Shrink(std::string s) {
  for (const char* run : {"         ", "     ", "   ", "  "}) s = ReplaceAll(s, run, " ");
  s = ReplaceAll(s, " ", ",");
  return ReplaceAll(s, ",,", ",");
}

Matrix ChainReadRows(int n, int limit, std::string_view text) {
  Matrix a(n, limit);
  std::string s = Shrink(std::string(TrimSpaces(text)));
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = '#';
  }
  s = ReplaceAll(ReplaceAll(s, "#,", "#"), ",#", "#") + "#";
  for (const char* run : {"#####", "###", "##"}) s = ReplaceAll(s, run, "#");
  while (!s.empty() && (s[0] == ' ' || s[0] == '#')) s.erase(0, 1);
  std::vector<double> buffer(static_cast<std::size_t>(limit) + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    const std::size_t hash = s.find('#');
    const std::size_t p = hash == std::string::npos ? 0 : hash + 1;
    std::string row = Shrink(std::string(TrimLeadingSpaces(s.substr(0, p))));
    for (int k = 1;; ++k) {
      const std::size_t c = row.find(',');
      if (c == std::string::npos) {
        buffer[static_cast<std::size_t>(k)] = EvaluateEntry(row);
        break;
      }
      buffer[static_cast<std::size_t>(k)] = EvaluateEntry(row.substr(0, c));
      row.erase(0, c + 1);
      if (k + 1 > limit) break;
    }
    for (int j = 1; j <= limit; ++j) a(i, j) = buffer[static_cast<std::size_t>(j)];
    s.erase(0, p);
  }
  return a;
}

std::pair<std::vector<double>, std::string> ChainReadVector(std::string s) {
  s = std::string(TrimSpaces(s));
  while (!s.empty() && (s[0] == ' ' || s[0] == '\n' || s[0] == '\r')) s.erase(0, 1);
  for (const char* run : {"         ", "     ", "   ", "  ", "  "}) s = ReplaceAll(s, run, " ");
  s = "0 " + s;
  for (char& c : s) {
    if (c == '\n' || c == '\r') c = '#';
  }
  s = s.substr(0, s.find('#'));
  s = std::string(TrimSpaces(s));
  std::vector<double> values;
  std::size_t start = s.find(' ');
  while (start != std::string::npos) {
    const std::size_t next = s.find(' ', start + 1);
    values.push_back(EvaluateEntry(s.substr(start + 1, next - start - 1)));
    start = next;
  }
  return {values, s};
}

// Texts made of separators in runs of every length, entries and stray marks.
std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> pieces = {"1",    "-2", "3.5", "40", "sqr(4)", "2*pi",
                                                  " ",    " ",  " ",   ",",  ",",      "#",
                                                  "\r\n", "\n", "\r",  "e",  "\t"};
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> run(2, 300);
  std::string text;
  for (int i = length(random); i > 0; --i) {
    const std::string& piece = pieces[pick(random)];
    if ((piece == " " || piece == "," || piece == "\r\n") && random() % 4 == 0) {
      for (int r = run(random) / (piece == " " ? 1 : 10); r > 0; --r) text += piece;
    } else {
      text += piece;
    }
  }
  return text;
}

TEST(Readers, AgreeWithTheChainOfReplacements) {
  std::mt19937 random(20261207);
  for (int t = 0; t < 4000; ++t) {
    const std::string text = RandomText(random);
    const int n = 1 + t % 4;
    Matrix a;
    ReadMatrix(a, n, text);
    const Matrix expected = ChainReadRows(n, n, text);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) ASSERT_EQ(a(i, j), expected(i, j)) << '"' << text << '"';
    }
    Matrix square(n, n + 1);
    ReadSquareMatrix(square, n, text);
    ASSERT_EQ(square, ChainReadRows(n, n + 1, text)) << '"' << text << '"';

    const auto [values, normalized] = ChainReadVector(text);
    std::string in_place = text;
    Vector v;
    ReadVector(in_place, v);
    Vector w;
    ReadVector(std::string_view(text), w);
    ASSERT_EQ(v, w);
    ASSERT_EQ(in_place, normalized) << '"' << text << '"';
    ASSERT_EQ(v.size(), static_cast<int>(values.size())) << '"' << text << '"';
    for (int j = 1; j <= v.size(); ++j) ASSERT_EQ(v(j), values[static_cast<std::size_t>(j - 1)]);
  }
}

TEST(TextReadingBytes, CountsTheCopiesAndTheVector) {
  // Beside each, the reading of one entry.
  EXPECT_EQ(TextReadingBytes("1 2\r\n3 4", TextUse::kMatrix), 9u + kEntryReadingBytes);
  // The vector is read in place: its three places (index 0 unused) only.
  EXPECT_EQ(TextReadingBytes("1 2\r\n3 4", TextUse::kVector),
            3 * sizeof(double) + kEntryReadingBytes);
  EXPECT_EQ(TextReadingBytes("", TextUse::kVector), sizeof(double) + kEntryReadingBytes);
  // Only the first line makes entries.
  const std::string ones = std::string(1000, '1') + "\n" + std::string(1000, ' ');
  EXPECT_EQ(TextReadingBytes(ones, TextUse::kVector), 2 * sizeof(double) + kEntryReadingBytes);
}

}  // namespace
}  // namespace matcalc
