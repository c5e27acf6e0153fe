#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desk/scripted_dialogs.h"
#include "frame/frame.h"

namespace matcalc {
namespace {

// The order prompt with one scripted answer (none: the box is cancelled).
std::optional<int> Order(std::vector<std::string> answers, int minimum = 1) {
  ScriptedDialogs dialogs(std::move(answers));
  TraceBuffer pane;
  Boxes boxes;
  Frame frame(boxes, "1 2\r\n3 4", pane, 6);
  const std::optional<int> n =
      RunAnswering(dialogs, boxes, frame.AskOrder("输入矩阵的阶数 n：", "", "3", minimum));
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
  TraceBuffer pane;
  Boxes boxes;
  Frame frame(boxes, "", pane, 6);
  RunAnswering(dialogs, boxes, frame.AskOrder("输入数组的阶数 n：", "矩阵范数", "4", 1));
  EXPECT_EQ(dialogs.Log(), "input\t矩阵范数\t输入数组的阶数 n：\t4\t3\n");
}

TEST(Ask, TrimsSpacesOnlyAndTellsCancelFromEmpty) {
  ScriptedDialogs dialogs({"  1e-4 ", "\t2 ", ""});
  TraceBuffer pane;
  Boxes boxes;
  Frame frame(boxes, "", pane, 6);
  EXPECT_EQ(RunAnswering(dialogs, boxes, frame.Ask("a")), "1e-4");
  EXPECT_EQ(RunAnswering(dialogs, boxes, frame.Ask("b")), "\t2");
  EXPECT_EQ(RunAnswering(dialogs, boxes, frame.Ask("c")), "");
  EXPECT_EQ(RunAnswering(dialogs, boxes, frame.Ask("d")), std::nullopt);
  EXPECT_EQ(RunAnswering(dialogs, boxes, frame.AskNonEmpty("e")), std::nullopt);
}

TEST(RefuseIfTooLarge, RefusesWithAnOkMessageAndLeavesThePanes) {
  ScriptedDialogs dialogs;
  TraceBuffer pane("earlier trace");
  Boxes boxes;
  Frame frame(boxes, "1", pane, 6);
  EXPECT_FALSE(
      RunAnswering(dialogs, boxes,
                   frame.RefuseIfTooLarge({.bytes = 1e6, .trace_bytes = 1e6, .nanoseconds = 1e6})));
  EXPECT_TRUE(dialogs.shown().empty());

  EXPECT_TRUE(
      RunAnswering(dialogs, boxes,
                   frame.RefuseIfTooLarge({.bytes = 2e9, .trace_bytes = 0, .nanoseconds = 1e6})));
  EXPECT_TRUE(
      RunAnswering(dialogs, boxes,
                   frame.RefuseIfTooLarge({.bytes = 1e6, .trace_bytes = 0, .nanoseconds = 1e12})));
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

TEST(TraceBuffer, ClearAndAppendMarkThePaneChanged) {
  TraceBuffer pane("old");
  EXPECT_FALSE(pane.changed());
  pane.Clear();
  EXPECT_TRUE(pane.changed());
  pane.Append("a=").AppendNumber(0.5).NewLine().AppendField24(-2);
  EXPECT_EQ(pane.text(), "a=0.5\r\n" + std::string(22, ' ') + "-2");
}

}  // namespace
}  // namespace matcalc
