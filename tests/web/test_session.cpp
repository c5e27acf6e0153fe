// The page's session: a command run box by box, each answer given as the
// page gives it, gives the boxes and the trace of a run answered from a
// script, as the runner runs it.
#include "web/catalog.h"
#include "web/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/opening.h"
#include "desk/scripted_dialogs.h"
#include "desk/workbench_texts.h"
#include "support/platform.h"

namespace matcalc::web {
namespace {

int IndexOf(std::string_view name) {
  const auto commands = Commands();
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (commands[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

struct Script {
  std::string_view method;
  std::string text;
  std::vector<std::string> answers;
  std::vector<Reply> replies;
  int digits = 6;
};

// The page's result pane given each hand-over of the trace as the page
// applies it: emptied or appended to.
void Apply(const Session& session, std::string& pane) {
  if (!session.shows_text()) return;
  if (session.cleared()) pane.clear();
  pane += session.text();
}

// Drives the session as the page does: run, then answer each pending box
// from the script until the command is done, applying each hand-over of the
// trace to `pane`. Returns the boxes as the runner describes them.
std::vector<std::string> Drive(Session& session, const Script& script, double held_bytes,
                               std::string& pane) {
  std::vector<std::string> boxes;
  std::size_t next_answer = 0;
  std::size_t next_reply = 0;
  Status status =
      session.RunCommand(IndexOf(script.method), script.text, held_bytes, script.digits);
  Apply(session, pane);
  while (status == Status::kAsks) {
    ShownBox box;
    box.is_input = session.box_is_input();
    if (box.is_input) {
      box.input = session.input();
      if (next_answer < script.answers.size()) box.answer = script.answers[next_answer++];
      boxes.push_back(DescribeBox(box));
      status = session.AnswerInput(box.answer);
    } else {
      box.message = session.message();
      box.reply = box.message.buttons == Buttons::kOk ? Reply::kOk
                  : next_reply < script.replies.size()
                      ? script.replies[next_reply++]
                      : (box.message.default_button == Reply::kNo ? Reply::kNo : Reply::kYes);
      boxes.push_back(DescribeBox(box));
      status = session.AnswerMessage(box.reply);
    }
    Apply(session, pane);
  }
  EXPECT_EQ(status, Status::kDone);
  return boxes;
}

TEST(WebSession, AnsweredBoxByBoxItGivesTheScriptedRunsBoxesAndTrace) {
  const std::string tridiagonal = "4 1 0\r\n1 4 1\r\n0 1 4";
  const std::string general = "2 -1 3\r\n4 1 -2\r\n1 5 2";
  const Script scripts[] = {
      {"power", tridiagonal, {"3", "0.0001", "1", "2", "1"}, {}},
      {"power", tridiagonal, {"3", "0.0001", "1", "0"}, {}},  // a zero component: a message
      {"shift", tridiagonal, {"3", "0.0001", "1.5"}, {}},     // initial vector cancelled
      {"inverse-power", general, {"3", "0.0001", "1", "1", "1"}, {}},
      {"jacobi", "4 1 0 0\r\n1 4 1 0\r\n0 1 4 1\r\n0 0 1 4", {"4", "0"}, {Reply::kYes}},
      {"jacobi", "4 1 0 0\r\n1 4 1 0\r\n0 1 4 1\r\n0 0 1 4", {"4", "0"}, {}},  // default No
      {"jacobi-threshold", tridiagonal, {"3", "1e-6"}, {}, 3},
      {"inverse", general, {"3"}, {}},
      {"determinant", general, {"3"}, {}, 9},
      {"lu", "2 1 1\r\n4 3 3\r\n8 7 9", {"3"}, {}},
      {"positive-definite", tridiagonal, {"3"}, {}},
      {"vector-norms", "3 -4 12", {}, {}},
      {"matrix-norms", general, {"3"}, {}},
      {"diagonal-dominance", tridiagonal, {"3"}, {}},
      {"jacobi-iteration", "10 -1 7.2\r\n-1 10 8.3", {"2", "1e-9", "3"}, {}},  // limit: No
      {"sor", "10 -1 7.2\r\n-1 10 8.3", {"2", "1e-9", "50", "1.1", "1"}, {}},
      {"sor", "10 -1 7.2\r\n-1 10 8.3", {"2", "1e-9", "50", "2"}, {}},  // w out of range
      {"determinant", "1 2\r\n3 4", {"32767"}, {}},                     // refused before any work
      {"power", tridiagonal, {}, {}},                                   // cancelled at once
  };
  for (const Script& script : scripts) {
    SCOPED_TRACE(std::string(script.method) + " " + std::to_string(script.answers.size()));
    ScriptedDialogs dialogs(script.answers, script.replies);
    const TraceBuffer expected = RunCommand(*FindCommand(script.method), dialogs, script.text,
                                            "earlier", script.digits, kPageCosts);
    std::vector<std::string> expected_boxes;
    for (const ShownBox& box : dialogs.shown()) expected_boxes.push_back(DescribeBox(box));

    Session session;
    std::string pane = "earlier";
    EXPECT_EQ(Drive(session, script, 7, pane), expected_boxes);
    EXPECT_EQ(session.shows_text(), expected.changed());
    // The page applies what the command did to the pane it kept.
    if (expected.changed()) {
      EXPECT_EQ(pane, expected.text());
    }
  }
}

TEST(WebSession, APendingBoxComesWithTheTraceWrittenBeforeIt) {
  Session session;
  const std::string text = "4 1 0 0\r\n1 4 1 0\r\n0 1 4 1\r\n0 0 1 4";
  const int jacobi = IndexOf("jacobi");
  ASSERT_EQ(session.RunCommand(jacobi, text, 7, 6), Status::kAsks);
  EXPECT_FALSE(session.shows_text());  // the order prompt: nothing written yet
  ASSERT_EQ(session.AnswerInput("4"), Status::kAsks);
  // An answer of the wrong kind is not taken: the box still waits.
  EXPECT_EQ(session.AnswerMessage(Reply::kYes), Status::kUnknown);
  ASSERT_EQ(session.AnswerInput("0"), Status::kAsks);
  ASSERT_FALSE(session.box_is_input());
  EXPECT_EQ(session.message().title, "警告");
  ASSERT_TRUE(session.shows_text());
  EXPECT_TRUE(session.cleared());
  const std::string before(session.text());
  EXPECT_FALSE(before.empty());
  // Then only what it wrote after the box: the page has the rest.
  ASSERT_EQ(session.AnswerMessage(Reply::kYes), Status::kDone);
  EXPECT_FALSE(session.cleared());
  EXPECT_FALSE(session.text().empty());
  EXPECT_EQ(session.text_looks(), 1);
  EXPECT_EQ(session.RunCommand(-1, text, 0, 6), Status::kUnknown);
  EXPECT_EQ(session.RunCommand(static_cast<int>(Commands().size()), text, 0, 6), Status::kUnknown);
}

// The pane the page keeps counts in the memory budget by what the page holds
// alone: after a trace of about 196 MB a small command still runs, and only a
// pane the budget cannot hold beside it refuses one, saying that the pane is
// the cause.
TEST(WebSession, TheHeldPaneCountsByItsLengthAlone) {
  const std::string text = "2 -1 3\r\n4 1 -2\r\n1 5 2";
  const struct {
    double held_bytes;
    bool refused;
  } cases[] = {{0, false}, {196e6, false}, {1.1e9, true}};
  for (const auto& run : cases) {
    SCOPED_TRACE(run.held_bytes);
    Session session;
    ASSERT_EQ(session.RunCommand(IndexOf("determinant"), text, run.held_bytes, 6), Status::kAsks);
    const Status status = session.AnswerInput("3");
    const bool refused = status == Status::kAsks && !session.box_is_input() &&
                         session.message().text == kPaneTooFullText;
    EXPECT_EQ(refused, run.refused);
    if (!run.refused) {
      ASSERT_EQ(status, Status::kDone);
      EXPECT_TRUE(session.cleared());
      EXPECT_FALSE(session.text().empty());
    }
  }
}

// What the page's bar is given: fractions that never fall within a run and
// reach 1 when the command runs to its end.
TEST(WebSession, ACommandReportsItsProgressToTheSink) {
  struct Recorder final : ProgressSink {
    void Report(double fraction) override { fractions.push_back(fraction); }
    bool StopRequested() override { return false; }
    std::vector<double> fractions;
  } recorder;
  Session session;
  session.SetProgress(&recorder);
  std::string text;
  for (int row = 0; row < 60; ++row) {
    for (int column = 0; column < 60; ++column)
      text += std::to_string((row * 7 + column * 3) % 11) + ' ';
    text += "\r\n";
  }
  ASSERT_EQ(session.RunCommand(IndexOf("determinant"), text, 0, 6), Status::kAsks);
  ASSERT_EQ(session.AnswerInput("60"), Status::kDone);
  ASSERT_GE(recorder.fractions.size(), 2u);
  for (std::size_t i = 1; i < recorder.fractions.size(); ++i) {
    EXPECT_GE(recorder.fractions[i], recorder.fractions[i - 1]);
  }
  EXPECT_EQ(recorder.fractions.back(), 1.0);
}

// A command that asks after reading its text runs once: its progress never
// falls from one box to the next (a run from the start would begin at 0
// again), and a new job or End leaves nothing waiting.
TEST(WebSession, ACommandGoesOnFromItsBoxInsteadOfStartingOver) {
  struct Recorder final : ProgressSink {
    void Report(double fraction) override { fractions.push_back(fraction); }
    bool StopRequested() override { return false; }
    std::vector<double> fractions;
  } recorder;
  Session session;
  session.SetProgress(&recorder);
  const int n = 40;
  std::string text;
  for (int row = 1; row <= n; ++row) {
    for (int column = 1; column <= n; ++column) text += row == column ? "50 " : "1 ";
    text += std::to_string(row) + "\r\n";
  }
  const int jacobi = IndexOf("jacobi-iteration");
  ASSERT_EQ(session.RunCommand(jacobi, text, 0, 6), Status::kAsks);
  for (const char* answer : {"40", "1e-9", "100"}) {
    ASSERT_EQ(session.AnswerInput(answer), Status::kAsks);
  }
  // One box per component of x0, after the text was read.
  for (int i = 1; i < n; ++i) ASSERT_EQ(session.AnswerInput("0"), Status::kAsks);
  ASSERT_EQ(session.AnswerInput("0"), Status::kDone);
  EXPECT_TRUE(session.cleared());
  // The rows counted for the order box's default, then the matrix read:
  // not once more for each box.
  EXPECT_EQ(session.text_looks(), 2);
  for (std::size_t i = 1; i < recorder.fractions.size(); ++i) {
    ASSERT_GE(recorder.fractions[i], recorder.fractions[i - 1]) << i;
  }
  EXPECT_EQ(recorder.fractions.back(), 1.0);

  // Ended at a box, nothing waits: an answer finds no job.
  ASSERT_EQ(session.RunCommand(jacobi, text, 0, 6), Status::kAsks);
  session.End();
  EXPECT_EQ(session.AnswerInput("3"), Status::kUnknown);
}

TEST(WebSession, DigitsFollowTheWindowsRules) {
  const std::pair<std::optional<std::string>, int> rows[] = {
      {"20", 15}, {"-3", 1}, {"0", 1}, {"", 1}, {"abc", 1}, {"7.5", 8}, {std::nullopt, 4},
  };
  for (const auto& [answer, digits] : rows) {
    Session session;
    ASSERT_EQ(session.AskDigits(4), Status::kAsks);
    EXPECT_EQ(session.input().title, "设置小数数位");
    EXPECT_EQ(session.input().default_text, "4");
    ASSERT_EQ(session.AnswerInput(answer), Status::kDone);
    EXPECT_EQ(session.digits(), digits) << answer.value_or("(cancel)");
  }
}

TEST(WebSession, OpeningAsksAboutLargeFilesAndDecodes) {
  Session session;
  // At most 1500 bytes: no question.
  const std::string edge(1500, '1');
  ASSERT_EQ(session.OpenFile(edge), Status::kDone);
  EXPECT_TRUE(session.shows_text());
  EXPECT_EQ(session.text(), edge);

  const std::string large = edge + "2";
  ASSERT_EQ(session.OpenFile(large), Status::kAsks);
  EXPECT_EQ(session.message().title, "温馨提示");
  EXPECT_EQ(session.message().default_button, Reply::kNo);
  ASSERT_EQ(session.AnswerMessage(Reply::kNo), Status::kDone);
  EXPECT_FALSE(session.shows_text());  // declined: both panes stay
  ASSERT_EQ(session.OpenFile(large), Status::kAsks);
  ASSERT_EQ(session.AnswerMessage(Reply::kYes), Status::kDone);
  EXPECT_EQ(session.text(), large);

  // GB18030 (where the C library can convert it) and an empty file.
  if (testing::HaveGb18030Converter()) {
    ASSERT_EQ(session.OpenFile("\xbe\xd8\xd5\xf3"), Status::kDone);
    EXPECT_EQ(session.text(), "矩阵");
  }
  ASSERT_EQ(session.OpenFile(""), Status::kAsks);
  EXPECT_EQ(session.message().text, kEmptyFileText);
  ASSERT_EQ(session.AnswerMessage(Reply::kOk), Status::kDone);
  EXPECT_TRUE(session.shows_text());
  EXPECT_EQ(session.text(), "");
}

TEST(WebSession, AFileBeyondTheLimitIsRefusedBeforeAnyQuestion) {
  Session session;
  const std::string huge(kPageLargestFileBytes + 1, '1');
  ASSERT_EQ(session.OpenFile(huge), Status::kAsks);
  EXPECT_EQ(session.message().text, kFileTooLargeText);
  ASSERT_EQ(session.AnswerMessage(Reply::kOk), Status::kDone);
  EXPECT_FALSE(session.shows_text());
}

TEST(WebSession, CatalogListsTheMenusAndCommandsInOrder) {
  const std::string catalog = CatalogJson();
  std::size_t at = 0;
  for (const std::string_view menu : {"文件(&F)", "编辑(&E)", "显示(&V)", "求解(&C)", "帮助(&H)"}) {
    at = catalog.find("\"caption\":\"" + std::string(menu) + "\"", at);
    ASSERT_NE(at, std::string::npos) << menu;
  }
  at = catalog.find("\"commands\"");
  for (const Command& command : Commands()) {
    at = catalog.find("\"caption\":\"" + std::string(command.caption) + "\"", at);
    ASSERT_NE(at, std::string::npos) << command.caption;
  }
  EXPECT_NE(catalog.find("\"name\":\"Gauss__\",\"caption\":\"-\""), std::string::npos);
  EXPECT_NE(catalog.find("\"name\":\"EditUndo\",\"caption\":\"撤消\",\"shortcut\":\"\","
                         "\"active\":false"),
            std::string::npos);
  EXPECT_NE(catalog.find("\"toolbar\":[\"新建\",\"打开\",\"保存\",\"另存为\",\"剪切\",\"复制\","
                         "\"粘贴\"]"),
            std::string::npos);
  EXPECT_NE(catalog.find("\"toolbarItems\":{\"新建\":\"FileNew\",\"打开\":\"FileOpen\","
                         "\"保存\":\"FileSave\",\"另存为\":\"FileSaveAs\",\"剪切\":\"EditCut\","
                         "\"复制\":\"EditCopy\",\"粘贴\":\"EditPaste\"}"),
            std::string::npos);
  EXPECT_NE(catalog.find("\"shortcuts\":{\"Ctrl+N\":\"FileNew\",\"Ctrl+O\":\"FileOpen\","
                         "\"Ctrl+S\":\"FileSave\"}"),
            std::string::npos);
  // A trace is saved only once it is whole, in the page as in the window.
  EXPECT_NE(catalog.find("\"busyItems\":[\"FileNew\",\"FileOpen\",\"FileSave\",\"FileSaveAs\","),
            std::string::npos);
  for (const char c : catalog) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
}

}  // namespace
}  // namespace matcalc::web
