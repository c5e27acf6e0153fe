#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "desk/reading_text.h"
#include "linalg/readers.h"
#include "linalg/reading_hints.h"
#include "text/evaluator.h"

namespace matcalc {
namespace {

// The text of each partly read entry, as the offsets say.
std::vector<std::string> PartlyReadTexts(std::string_view text, const TextReading& reading) {
  std::vector<std::string> texts;
  for (const PartlyReadEntry& e : reading.partly_read) {
    texts.emplace_back(text.substr(e.begin, e.end - e.begin));
  }
  return texts;
}

TEST(ReadingHints, ShapeOfTheText) {
  const TextReading square = DescribeText("1 2 3\n4 5 6\n7 8 9");
  EXPECT_EQ(square.rows, 3);
  EXPECT_EQ(square.first_row_entries, 3);
  EXPECT_EQ(square.largest_order, 3);
  EXPECT_EQ(square.partly_read_count, 0u);
  EXPECT_EQ(ReadingSummary(square), "3 行，首行 3 个元素，可作 3 阶矩阵");

  // A short second row limits the order to 2 although three rows are there.
  const TextReading short_row = DescribeText("1 2 3\r\n4 5\r\n6 7 8");
  EXPECT_EQ(short_row.rows, 3);
  EXPECT_EQ(short_row.largest_order, 2);
  // Wide rows over few lines: the rows limit it.
  EXPECT_EQ(DescribeText("1 2 3 4\n5 6 7 8").largest_order, 2);
  // A lone entry fills order 1; a blank text nothing.
  EXPECT_EQ(DescribeText("  7  ").largest_order, 1);
  const TextReading blank = DescribeText("   ");
  EXPECT_EQ(blank.rows, 0);
  EXPECT_EQ(blank.largest_order, 0);
  EXPECT_EQ(ReadingSummary(blank), "0 行，首行 0 个元素，不足以构成矩阵");
  // Separators as the reader takes them: commas, "#", runs of blank lines,
  // and a double comma leaving an empty entry.
  const TextReading separators = DescribeText("1,2#3,4\n\n\n5,,6");
  EXPECT_EQ(separators.rows, 3);
  EXPECT_EQ(separators.first_row_entries, 2);
}

// The m x n a text offers: every row at least as long as the first, and not
// square. The shape alone needs no evaluation, and agrees with the hint.
TEST(ReadingHints, RectangularShapes) {
  struct Case {
    const char* text;
    const char* summary;
  };
  const Case cases[] = {
      {"1 2 3 4\n5 6 7 8\n9 10 11 12", "3 行，首行 4 个元素，可作 3 × 4 矩阵"},
      {"1 2\n3 4\n5 6", "3 行，首行 2 个元素，可作 3 × 2 矩阵"},
      {"1 2 3 4 5", "1 行，首行 5 个元素，可作 1 × 5 矩阵"},
      {"1\n2\n3", "3 行，首行 1 个元素，可作 3 × 1 矩阵"},
      // A longer later row still gives the first row's width.
      {"1 2\n3 4 5\n6 7", "3 行，首行 2 个元素，可作 3 × 2 矩阵"},
      // Square, or a row shorter than the first: the square order as before.
      {"1 2\n3 4", "2 行，首行 2 个元素，可作 2 阶矩阵"},
      {"1 2 3 4\n5 6\n7 8 9", "3 行，首行 4 个元素，可作 2 阶矩阵"},
      {"1 2 3\n4", "2 行，首行 3 个元素，可作 1 阶矩阵"},
  };
  for (const Case& c : cases) {
    const TextReading reading = DescribeText(c.text);
    EXPECT_EQ(ReadingSummary(reading), c.summary) << c.text;
    const TextShape shape = ShapeOfText(c.text);
    EXPECT_EQ(shape.rows, reading.rows) << c.text;
    EXPECT_EQ(shape.first_row_entries, reading.first_row_entries) << c.text;
    EXPECT_EQ(shape.largest_order, reading.largest_order) << c.text;
    EXPECT_EQ(shape.fewest_entries, reading.fewest_entries) << c.text;
  }
  EXPECT_EQ(ShapeOfText("  ").rows, 0);
  EXPECT_EQ(ShapeOfText("  ").fewest_entries, 0);
}

TEST(ReadingHints, PartlyReadEntriesWithTheirBytesAndValues) {
  const std::string text = "  12abc 2, 3\r\n a  4 1.2.3\n2*(3 sin(pi/2) 1=2 f(x)=5 (2";
  const TextReading r = DescribeText(text);
  EXPECT_EQ(PartlyReadTexts(text, r),
            (std::vector<std::string>{"12abc", "a", "1.2.3", "2*(3", "1=2", "(2"}));
  ASSERT_EQ(r.partly_read.size(), 6u);
  EXPECT_EQ(r.partly_read[0].value, 12);
  EXPECT_EQ(r.partly_read[0].row, 1);
  EXPECT_EQ(r.partly_read[0].column, 1);
  EXPECT_EQ(r.partly_read[1].value, 0);
  EXPECT_EQ(r.partly_read[1].row, 2);
  EXPECT_EQ(r.partly_read[1].column, 1);
  EXPECT_EQ(r.partly_read[2].value, 1.2);
  EXPECT_EQ(r.partly_read[3].value, 2);  // the product never completes
  EXPECT_EQ(r.partly_read[4].value, 1);
  EXPECT_EQ(r.partly_read[5].value, 2);
  EXPECT_EQ(r.partly_read[5].row, 3);
  EXPECT_EQ(r.partly_read[5].column, 5);
  EXPECT_EQ(PartlyReadTip(r.partly_read[0]), "第 1 行第 1 个元素读作 12");
  EXPECT_EQ(ReadingSummary(r), "3 行，首行 3 个元素，可作 3 阶矩阵，6 个元素只读了一部分");
}

TEST(ReadingHints, MultibyteTextKeepsByteOffsets) {
  // A full-width digit is no digit to the evaluator.
  const std::string text = "１ 2\n3 ４５";
  const TextReading r = DescribeText(text);
  EXPECT_EQ(PartlyReadTexts(text, r), (std::vector<std::string>{"１", "４５"}));
  EXPECT_EQ(r.partly_read[1].begin, text.find("４"));
}

TEST(ReadingHints, VectorLineSplitsAtSpacesOnly) {
  const std::string text = "\n 1,2  abc 3 # 9x\n7";
  const TextReading r = DescribeText(text, TextUse::kVector);
  EXPECT_EQ(r.rows, 1);
  EXPECT_EQ(r.first_row_entries, 3);
  EXPECT_EQ(r.largest_order, 3);
  EXPECT_EQ(PartlyReadTexts(text, r), (std::vector<std::string>{"1,2", "abc"}));
  EXPECT_EQ(r.partly_read[0].value, 1);
  EXPECT_EQ(ReadingSummary(r, TextUse::kVector), "向量 3 个分量，2 个元素只读了一部分");
}

// The hints and the command's reader agree on every value they report, on
// texts with random separators, junk and expressions.
TEST(ReadingHints, ValuesAgreeWithTheMatrixReader) {
  const std::vector<std::string> pieces = {"1",    "-2.5",  "3e2", "12abc", "a",  "sin(0)",
                                           "2*(3", "1.2.3", "(4",  "7/2",   "pi", "x+1"};
  const std::vector<std::string> separators = {" ",  "  ",   ",", ", ",   " ,",
                                               "\n", "\r\n", "#", "\n\n", " \t"};
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int count = 4 + static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
      text += separators[random() % separators.size()];
    }
    const TextReading r = DescribeText(text);
    const int n = std::max(r.rows, r.first_row_entries);
    if (n < 1) continue;
    Matrix a;
    ReadMatrix(a, n, text);
    for (const PartlyReadEntry& e : r.partly_read) {
      if (e.column > n) continue;
      EXPECT_EQ(a(e.row, e.column), e.value) << text;
      EXPECT_FALSE(ReadEntry(text.substr(e.begin, e.end - e.begin)).whole) << text;
    }
  }
}

// Every entry's bytes in the text are the entry the evaluator is given
// (without the row's "#"), whatever the separators around it.
TEST(ReadingHints, EntryOffsetsPointAtTheEntriesRead) {
  const std::vector<std::string> pieces = {"1", "12abc", "读", "a\tb", "(1+2)", "-x", "é"};
  const std::vector<std::string> separators = {" ", "   ",    ",",   ", ,", "\r\n",
                                               "#", "\n\n\n", " # ", "\r",  ",,,"};
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::string text = round % 3 == 0 ? "  " : "";
    const int count = 1 + static_cast<int>(random() % 30);
    for (int i = 0; i < count; ++i) {
      text += pieces[random() % pieces.size()];
      text += separators[random() % separators.size()];
    }
    int entries = 0;
    WalkMatrixText(text, [&](const TextEntry& e) {
      std::string_view expected = e.text;
      while (!expected.empty() && expected.back() == '#') expected.remove_suffix(1);
      ASSERT_LE(e.begin, e.end);
      ASSERT_LE(e.end, text.size());
      EXPECT_EQ(std::string_view(text).substr(e.begin, e.end - e.begin), expected) << text;
      ++entries;
    });
    EXPECT_GE(entries, 1) << text;
  }
}

TEST(ReadingHints, ListIsCappedButCountIsNot) {
  std::string text;
  for (std::size_t i = 0; i < kMaxListedEntries + 10; ++i) text += "z ";
  const TextReading r = DescribeText(text);
  EXPECT_EQ(r.partly_read_count, kMaxListedEntries + 10);
  EXPECT_EQ(r.partly_read.size(), kMaxListedEntries);
}

}  // namespace
}  // namespace matcalc
