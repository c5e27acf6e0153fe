// What all four eigenvalue commands share: prompts that end the command
// before any output, and orders too large for the machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::MethodOutcome;
using testing::RunMethod;

struct EndedEarly {
  const char* method;
  std::vector<std::string> answers;
  int boxes;  // input boxes shown before the command ended
};

TEST(EigenCommands, EndingBeforeTheTraceLeavesBothPanes) {
  const std::vector<EndedEarly> cases = {
      {"power", {}, 1},                     // cancelled order
      {"power", {"0"}, 1},                  // order below 1
      {"power", {"70000"}, 1},              // order beyond 16 bits
      {"power", {"2"}, 2},                  // cancelled precision
      {"shift", {"2", "0.0001"}, 3},        // cancelled shift
      {"shift", {"2", "0.0001", "  "}, 3},  // blank shift
      {"inverse-power", {"2", ""}, 2},      // empty precision
      {"jacobi", {"1"}, 1},                 // Jacobi needs order 2
      {"jacobi", {"2"}, 2},                 // cancelled precision after reading
      {"jacobi-threshold", {"2", " "}, 2},
  };
  for (const EndedEarly& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " after " + std::to_string(c.answers.size()) + " answers");
    const MethodOutcome run = RunMethod(c.method, "2 1\r\n1 2", c.answers);
    EXPECT_FALSE(run.changed);
    EXPECT_EQ(run.text2, "previous result");
    int boxes = 0;
    for (const char ch : run.dialogs) boxes += ch == '\n';
    EXPECT_EQ(boxes, c.boxes);
  }
}

TEST(EigenCommands, OrderTooLargeIsRefusedRightAfterTheOrderPrompt) {
  const std::string refusal = "message\t\t阶数太大，超出了本程序的计算能力。\tok\tok\n";
  for (const char* method : {"power", "shift", "inverse-power", "jacobi", "jacobi-threshold"}) {
    SCOPED_TRACE(method);
    const MethodOutcome run = RunMethod(method, "1", {"20000", "0.001", "1", "1"});
    EXPECT_FALSE(run.changed);
    EXPECT_EQ(run.text2, "previous result");
    EXPECT_EQ(run.dialogs, "input\t输入数据\t输入矩阵的阶数 n：\t3\t20000\n" + refusal);
  }
  // Orders a user may well type are not refused.
  for (const char* method : {"power", "inverse-power", "jacobi"}) {
    SCOPED_TRACE(method);
    const MethodOutcome run = RunMethod(method, "1", {"60"});
    EXPECT_EQ(run.dialogs.find("阶数太大"), std::string::npos);
  }
}

TEST(EigenCommands, GivingUpIsAWarningWhoseDefaultDropsTheTrace) {
  struct GivingUp {
    const char* method;
    const char* text1;
    std::vector<std::string> answers;  // eps 0 never settles
  };
  const std::vector<GivingUp> cases = {
      {"power", "2 1\r\n0 1", {"2", "0"}},
      {"shift", "2 0\r\n0 1", {"2", "0", "0"}},
      {"inverse-power", "2 0\r\n0 4", {"2", "0"}},
      {"jacobi", "2 -1 0\r\n-1 2 -1\r\n0 -1 2", {"3", "0"}},
  };
  for (const GivingUp& c : cases) {
    SCOPED_TRACE(c.method);
    ScriptedDialogs dialogs(c.answers);  // no reply: the default button
    const TraceBuffer pane =
        RunCommand(*FindCommand(c.method), dialogs, c.text1, "previous result", 6, {});
    ASSERT_FALSE(dialogs.shown().empty());
    const ShownBox& box = dialogs.shown().back();
    EXPECT_EQ(box.message.title, "警告");
    EXPECT_EQ(box.message.buttons, Buttons::kYesNo);
    EXPECT_EQ(box.message.icon, Icon::kExclamation);
    EXPECT_EQ(box.message.default_button, Reply::kNo);
    EXPECT_TRUE(pane.changed());
    EXPECT_EQ(pane.text(), "");
  }
}

}  // namespace
}  // namespace matcalc
