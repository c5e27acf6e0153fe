// The answer-queue dialogs of the runner, the tests and the page's replay,
// and the digits and Solve-menu rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "desk/scripted_dialogs.h"
#include "desk/settings.h"

namespace matcalc {
namespace {

TEST(ScriptedDialogs, LogsOneLinePerBox) {
  ScriptedDialogs dialogs({"1"}, {Reply::kNo});
  EXPECT_EQ(dialogs.Input({"第一行\r\n第二行", "标题", "0.0001"}), "1");
  EXPECT_EQ(dialogs.Input({"n：", "", ""}), std::nullopt);  // answers used up

  MessageRequest question;
  question.text = "是否保留？\r\n";
  question.buttons = Buttons::kYesNo;
  question.icon = Icon::kExclamation;
  question.default_button = Reply::kNo;
  question.title = "警告";
  EXPECT_EQ(dialogs.Message(question), Reply::kNo);  // the scripted reply
  EXPECT_EQ(dialogs.Message(question), Reply::kNo);  // replies used up: the default
  question.default_button = Reply::kYes;
  EXPECT_EQ(dialogs.Message(question), Reply::kYes);

  MessageRequest note;
  note.text = "主元为零";
  EXPECT_EQ(dialogs.Message(note), Reply::kOk);

  EXPECT_EQ(dialogs.Log(),
            "input\t标题\t第一行\\n第二行\t0.0001\t1\n"
            "input\t\tn：\t\t(cancel)\n"
            "message\t警告\t是否保留？\\n\tyesno\tno\n"
            "message\t警告\t是否保留？\\n\tyesno\tno\n"
            "message\t警告\t是否保留？\\n\tyesno\tyes\n"
            "message\t\t主元为零\tok\tok\n");
}

TEST(ScriptedDialogs, OkBoxesDoNotUseUpReplies) {
  ScriptedDialogs dialogs({}, {Reply::kYes});
  MessageRequest note;
  note.text = "注意";
  dialogs.Message(note);
  MessageRequest question;
  question.text = "?";
  question.buttons = Buttons::kYesNo;
  question.default_button = Reply::kNo;
  EXPECT_EQ(dialogs.Message(question), Reply::kYes);
}

// The digits an answer gives, the setting being 9 before.
struct DigitsRow {
  const char* name;
  std::optional<std::string> answer;
  int digits;
};

class DigitsFromAnswers : public testing::TestWithParam<DigitsRow> {};

TEST_P(DigitsFromAnswers, ReadsRoundsAndClamps) {
  EXPECT_EQ(DigitsFromAnswer(GetParam().answer, 9), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DigitsFromAnswers,
    testing::Values(DigitsRow{"plain", "3", 3}, DigitsRow{"above_15", "20", 15},
                    DigitsRow{"negative", "-3", 1}, DigitsRow{"zero", "0", 1},
                    DigitsRow{"no_number", "abc", 1}, DigitsRow{"empty", "", 1},
                    DigitsRow{"half_up_to_even", "7.5", 8},
                    DigitsRow{"half_down_to_even", "2.5", 2},
                    DigitsRow{"beyond_16_bits", "1e10", 15}, DigitsRow{"below_16_bits", "-1e10", 1},
                    DigitsRow{"hexadecimal", "&HF", 15}, DigitsRow{"spaces_inside", " 1 2 ", 12},
                    DigitsRow{"cancelled_keeps", std::nullopt, 9}),
    [](const testing::TestParamInfo<DigitsRow>& row) { return std::string(row.param.name); });

TEST(Settings, SolveMenuWantsSomethingOtherThanSpaces) {
  EXPECT_FALSE(SolveMenuEnabled(""));
  EXPECT_FALSE(SolveMenuEnabled("   "));
  EXPECT_TRUE(SolveMenuEnabled(" 1 "));
  EXPECT_TRUE(SolveMenuEnabled("\t"));
  EXPECT_TRUE(SolveMenuEnabled("\r\n"));
}

TEST(ScriptedDialogs, EveryFieldStaysOnItsLine) {
  EXPECT_EQ(EscapeLogField("a\r\nb\nc\rd\te\\f"), "a\\nb\\nc\\rd\\te\\\\f");
  EXPECT_EQ(EscapeLogField("\r\r\n\n\r"), "\\r\\n\\n\\r");
  EXPECT_EQ(EscapeLogField("一\\n"), "一\\\\n");  // typed backslash and n stay two characters

  ScriptedDialogs dialogs({"1\t2\r\n3", "(cancel)", " (cancel)", "\\"});
  dialogs.Input({"p\tq\rr", "t\\\n", "d\t"});
  dialogs.Input({"n：", "", ""});
  dialogs.Input({"n：", "", ""});
  dialogs.Input({"n：", "", ""});
  dialogs.Input({"n：", "", ""});  // cancelled
  MessageRequest note;
  note.text = "x\ty\rz";
  note.title = "\\t";
  dialogs.Message(note);
  EXPECT_EQ(dialogs.Log(),
            "input\tt\\\\\\n\tp\\tq\\rr\td\\t\t1\\t2\\n3\n"
            "input\t\tn：\t\t\\(cancel)\n"
            "input\t\tn：\t\t (cancel)\n"
            "input\t\tn：\t\t\\\\\n"
            "input\t\tn：\t\t(cancel)\n"
            "message\t\\\\t\tx\\ty\\rz\tok\tok\n");
  // Whatever the texts held, each box is one line of five fields.
  const std::string log = dialogs.Log();
  std::size_t lines = 0;
  for (std::size_t start = 0; start < log.size(); ++lines) {
    const std::size_t end = log.find('\n', start);
    const std::string line = log.substr(start, end - start);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos);
    start = end + 1;
  }
  EXPECT_EQ(lines, dialogs.shown().size());
}

}  // namespace
}  // namespace matcalc
