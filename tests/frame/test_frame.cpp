#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "desk/scripted_dialogs.h"
#include "desk/settings.h"
#include "frame/frame.h"

namespace matcalc {
namespace {

// The order prompt with one scripted answer (none: the box is cancelled).
std::optional<int> Order(std::vector<std::string> answers, int minimum = 1) {
  ScriptedDialogs dialogs(std::move(answers));
  ResultPane pane;
  Frame frame(dialogs, "1 2\r\n3 4", pane, 6);
  const std::optional<int> n = frame.AskOrder("输入矩阵的阶数 n：", "", "3", minimum);
  EXPECT_EQ(dialogs.shown().size(), 1u);
  EXPECT_FALSE(pane.changed());
  return n;
}

TEST(AskOrder, ReadsTheLeadingNumberAndRoundsHalvesToEven) {
  EXPECT_EQ(Order({"3"}), 3);
  EXPECT_EQ(Order({"  4  "}), 4);
  EXPECT_EQ(Order({"2.5"}), 2);
  EXPECT_EQ(Order({"3.5"}), 4);
  EXPECT_EQ(Order({"5abc"}), 5);
  EXPECT_EQ(Order({"1 2"}), 12);
  EXPECT_EQ(Order({"&H10"}), 16);
  EXPECT_EQ(Order({"32767"}), 32767);
}

TEST(AskOrder, EndsTheCommandWithoutAnOrder) {
  EXPECT_EQ(Order({}), std::nullopt);       // cancelled
  EXPECT_EQ(Order({""}), std::nullopt);     // empty
  EXPECT_EQ(Order({"   "}), std::nullopt);  // empty once trimmed
  EXPECT_EQ(Order({"40000"}), std::nullopt);
  EXPECT_EQ(Order({"-40000"}), std::nullopt);
  EXPECT_EQ(Order({"abc"}), std::nullopt);  // 0 is below the minimum
  EXPECT_EQ(Order({"0.4"}), std::nullopt);
  EXPECT_EQ(Order({"-1"}), std::nullopt);
  EXPECT_EQ(Order({"1"}, 2), std::nullopt);
  EXPECT_EQ(Order({"2"}, 2), 2);
}

TEST(AskOrder, ShowsThePromptTitleAndDefault) {
  ScriptedDialogs dialogs({"3"});
  ResultPane pane;
  Frame frame(dialogs, "", pane, 6);
  frame.AskOrder("输入数组的阶数 n：", "矩阵范数", "4", 1);
  EXPECT_EQ(dialogs.Log(), "input\t矩阵范数\t输入数组的阶数 n：\t4\t3\n");
}

TEST(Ask, TrimsSpacesOnlyAndTellsCancelFromEmpty) {
  ScriptedDialogs dialogs({"  1e-4 ", "\t2 ", ""});
  ResultPane pane;
  Frame frame(dialogs, "", pane, 6);
  EXPECT_EQ(frame.Ask("a"), "1e-4");
  EXPECT_EQ(frame.Ask("b"), "\t2");
  EXPECT_EQ(frame.Ask("c"), "");
  EXPECT_EQ(frame.Ask("d"), std::nullopt);
  EXPECT_EQ(frame.AskNonEmpty("e"), std::nullopt);
}

TEST(RefuseIfTooLarge, RefusesWithAnOkMessageAndLeavesThePanes) {
  ScriptedDialogs dialogs;
  ResultPane pane("earlier trace");
  Frame frame(dialogs, "1", pane, 6);
  EXPECT_FALSE(frame.RefuseIfTooLarge({.bytes = 1e6, .trace_bytes = 1e6, .nanoseconds = 1e6}));
  EXPECT_TRUE(dialogs.shown().empty());

  EXPECT_TRUE(frame.RefuseIfTooLarge({.bytes = 2e9, .trace_bytes = 0, .nanoseconds = 1e6}));
  EXPECT_TRUE(frame.RefuseIfTooLarge({.bytes = 1e6, .trace_bytes = 0, .nanoseconds = 1e12}));
  ASSERT_EQ(dialogs.shown().size(), 2u);
  const MessageRequest& shown = dialogs.shown()[0].message;
  EXPECT_EQ(shown.text, "阶数太大，超出了本程序的计算能力。");
  EXPECT_EQ(shown.buttons, Buttons::kOk);
  EXPECT_EQ(shown.title, "");
  EXPECT_EQ(dialogs.Log(),
            "message\t\t阶数太大，超出了本程序的计算能力。\tok\tok\n"
            "message\t\t阶数太大，超出了本程序的计算能力。\tok\tok\n");
  EXPECT_EQ(pane.text(), "earlier trace");
  EXPECT_FALSE(pane.changed());
}

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

TEST(ResultPane, ClearAndAppendMarkThePaneChanged) {
  ResultPane pane("old");
  EXPECT_FALSE(pane.changed());
  pane.Clear();
  EXPECT_TRUE(pane.changed());
  pane.Append("a=").AppendNumber(0.5).NewLine().AppendField24(-2);
  EXPECT_EQ(pane.text(), "a=0.5\r\n" + std::string(22, ' ') + "-2");
}

TEST(Settings, DigitsFromAnswerReadsRoundsAndClamps) {
  const struct {
    std::optional<std::string> answer;
    int digits;
  } rows[] = {
      {"3", 3},    {"20", 15},    {"-3", 1},         {"0", 1},     {"abc", 1},
      {"", 1},     {"7.5", 8},    {"2.5", 2},        {"1e10", 15}, {"-1e10", 1},
      {"&HF", 15}, {" 1 2 ", 12}, {std::nullopt, 9},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DigitsFromAnswer(row.answer, 9), row.digits) << row.answer.value_or("(cancel)");
  }
}

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
