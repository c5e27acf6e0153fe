#include <gtest/gtest.h>

#include <string>

#include "desk/reading_text.h"

namespace matcalc {
namespace {

TEST(ReadingText, JsonForThePage) {
  EXPECT_EQ(ReadingJson("1 \"x\n4 a"),
            "{\"summary\":\"2 行，首行 2 个元素，可作 2 阶矩阵，2 个元素只读了一部分\",\"rows\":2,"
            "\"order\":2,\"partlyRead\":2,\"marks\":[[2,4,\"第 1 行第 2 个元素读作 0\"],"
            "[7,8,\"第 2 行第 2 个元素读作 0\"]]}");
  EXPECT_EQ(ReadingJson(""),
            "{\"summary\":\"\",\"rows\":0,\"order\":0,\"partlyRead\":0,\"marks\":[]}");
}

// The marks' offsets count as a pane's string does: one per UTF-16 unit, two
// for a character beyond the first plane, one per line break. The expected
// offsets are those of the same text written with "\n" as a UTF-16 string.
struct PaneOffsetRow {
  const char* name;
  std::string text;  // CR LF, as the commands get it
  int start;         // of the last mark
  int end;
};

class PaneOffsets : public testing::TestWithParam<PaneOffsetRow> {};

TEST_P(PaneOffsets, MarkAt) {
  const PaneReading reading = ReadForPane(GetParam().text);
  ASSERT_FALSE(reading.marks.empty());
  EXPECT_EQ(reading.marks.back().start, GetParam().start);
  EXPECT_EQ(reading.marks.back().end, GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PaneOffsets,
    testing::Values(PaneOffsetRow{"ascii", "1 2x", 2, 4},
                    PaneOffsetRow{"after_cr_lf", "1 2\r\n3 4x", 6, 8},
                    PaneOffsetRow{"after_two_byte", "2\xC3\xA9 1x", 3, 5},        // é
                    PaneOffsetRow{"after_three_byte", "2\xE8\xAF\xBB 1x", 3, 5},  // 读
                    PaneOffsetRow{"after_four_byte", "2\xF0\x9F\x98\x80 1x", 4, 6},
                    PaneOffsetRow{"wide_entry", "1 2\xF0\x9F\x98\x80", 2, 5}),
    [](const testing::TestParamInfo<PaneOffsetRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace matcalc
