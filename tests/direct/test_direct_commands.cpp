// What the direct methods share as commands: prompts that end them without a
// trace, the refusal of orders too large, and the runner.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/runner.h"
#include "frame/frame.h"
#include "support/golden.h"

namespace matcalc {
namespace {

using testing::Golden;
using testing::RunMethod;
using testing::SameText;

// The commands that leave both panes alone until an order has been accepted
// (the triangular decomposition empties its pane first; it has its own test).
const std::vector<std::string> kCommandsKeepingPanes = {
    "inverse", "determinant", "positive-definite", "matrix-norms", "diagonal-dominance"};

TEST(DirectCommands, UnusableOrderLeavesBothPanes) {
  for (const std::string& name : kCommandsKeepingPanes) {
    const testing::MethodOutcome cancelled = RunMethod(name, "1 2\r\n3 4");
    EXPECT_EQ(cancelled.text2, "previous result") << name;
    EXPECT_FALSE(cancelled.changed) << name;
    EXPECT_TRUE(cancelled.dialogs.ends_with("(cancel)\n")) << name;
    // Empty, not a number, not positive, beyond 16 bits.
    for (const char* answer : {"", "abc", "0", "-3", "0.4", "40000"}) {
      const testing::MethodOutcome run = RunMethod(name, "1 2\r\n3 4", {answer});
      EXPECT_EQ(run.text2, "previous result") << name << " " << answer;
      EXPECT_FALSE(run.changed) << name << " " << answer;
    }
  }
}

TEST(DirectCommands, OrderTooLargeIsRefusedBeforeAnythingIsWritten) {
  const std::string refusal = "message\t\t" + std::string(kOrderTooLargeText) + "\tok\tok\n";
  // 16384 gives the inverse 32768 columns; 32767 is the largest order at all.
  for (const std::string& name : kCommandsKeepingPanes) {
    for (const char* answer : {"16384", "32767"}) {
      const testing::MethodOutcome run = RunMethod(name, "1 2\r\n3 4", {answer});
      EXPECT_EQ(run.text2, "previous result") << name << " " << answer;
      EXPECT_FALSE(run.changed) << name << " " << answer;
      EXPECT_TRUE(run.dialogs.ends_with(refusal)) << name << " " << run.dialogs;
    }
  }
  const testing::MethodOutcome lu = RunMethod("lu", "1 2\r\n3 4", {"32767"});
  EXPECT_EQ(lu.text2, "");
  EXPECT_TRUE(lu.dialogs.ends_with(refusal)) << lu.dialogs;
}

TEST(DirectCommands, ModerateOrdersAreAccepted) {
  // Orders a user may well type must not be refused by the estimates.
  std::string identity;
  for (int i = 1; i <= 300; ++i) {
    for (int j = 1; j <= 300; ++j) {
      if (j > 1) identity += ' ';
      identity += i == j ? '1' : '0';
    }
    identity += "\r\n";
  }
  for (const auto& [name, answer] :
       std::vector<std::pair<std::string, std::string>>{{"inverse", "300"},
                                                        {"determinant", "300"},
                                                        {"lu", "300"},
                                                        {"positive-definite", "100"},
                                                        {"matrix-norms", "300"},
                                                        {"diagonal-dominance", "300"}}) {
    const testing::MethodOutcome run = RunMethod(name, identity, {answer});
    EXPECT_EQ(run.dialogs.find("message"), std::string::npos) << name << " " << run.dialogs;
    EXPECT_FALSE(run.text2.empty()) << name;
  }
}

TEST(DirectCommands, RunnerPrintsTheDeterminantExample) {
  std::istringstream in("1 2\r\n3 4");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--answer", "2", "determinant"}, in, out, err), 0);
  EXPECT_TRUE(SameText(Golden("direct/determinant_1234.txt"), out.str()));
  EXPECT_EQ(err.str(), "input\t\t输入矩阵的阶数 n：\t\t2\n");
}

}  // namespace
}  // namespace matcalc
