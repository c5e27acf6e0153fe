// Progress and stop through the registry: a command reports a fraction that
// never decreases and ends at 1; a stop ends it like a cancelled prompt, the
// pane untouched, whether it comes while it computes or while a box is up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"

namespace matcalc {
namespace {

std::string SymmetricText(int n) {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) text += std::to_string((i * j) % 7 + (i == j ? 9 : 0)) + ' ';
    text += "\r\n";
  }
  return text;
}

// Records the fractions; asks to stop after `stop_after` reports (never for 0).
class RecordingSink : public ProgressSink {
 public:
  explicit RecordingSink(int stop_after = 0) : stop_after_(stop_after) {}
  void Report(double fraction) override { fractions.push_back(fraction); }
  bool StopRequested() override {
    return stop_after_ > 0 && static_cast<int>(fractions.size()) >= stop_after_;
  }
  std::vector<double> fractions;

 private:
  int stop_after_;
};

// Asks to stop as the box with the given number is answered.
class StoppingDialogs : public ScriptedDialogs {
 public:
  StoppingDialogs(std::vector<std::string> answers, std::size_t stop_at, bool& stop)
      : ScriptedDialogs(std::move(answers)), stop_at_(stop_at), stop_(stop) {}
  std::optional<std::string> Input(const InputRequest& request) override {
    if (shown().size() + 1 == stop_at_) stop_ = true;
    return ScriptedDialogs::Input(request);
  }

 private:
  std::size_t stop_at_;
  bool& stop_;
};

class FlagSink : public ProgressSink {
 public:
  explicit FlagSink(bool& stop) : stop_(stop) {}
  void Report(double) override {}
  bool StopRequested() override { return stop_; }

 private:
  bool& stop_;
};

TEST(Progress, FractionGrowsToOneOverAWholeCommand) {
  RecordingSink sink;
  ScriptedDialogs dialogs({"60", "0"}, {Reply::kYes});
  TraceBuffer pane;
  EXPECT_EQ(RunCommand(*FindCommand("jacobi"), dialogs, SymmetricText(60), pane, 6, {}, &sink),
            Outcome::kRan);
  ASSERT_GT(sink.fractions.size(), 10u);
  for (std::size_t i = 1; i < sink.fractions.size(); ++i) {
    EXPECT_LE(sink.fractions[i - 1], sink.fractions[i]);
  }
  EXPECT_LT(sink.fractions[sink.fractions.size() - 2], 1.0);
  EXPECT_EQ(sink.fractions.back(), 1.0);
  EXPECT_GT(sink.fractions[sink.fractions.size() / 2], 0.0);
}

TEST(Progress, StopWhileComputingLeavesThePaneUntouched) {
  for (const char* method : {"jacobi", "determinant", "inverse", "lu"}) {
    RecordingSink sink(3);
    ScriptedDialogs dialogs({"60", "0"}, {Reply::kYes});
    TraceBuffer pane;
    EXPECT_EQ(RunCommand(*FindCommand(method), dialogs, SymmetricText(60), pane, 6, {}, &sink),
              Outcome::kStopped)
        << method;
    EXPECT_FALSE(pane.changed()) << method;
    EXPECT_TRUE(pane.text().empty()) << method;
    // No message about the stop, no box after it.
    for (const ShownBox& box : dialogs.shown()) EXPECT_TRUE(box.is_input) << method;
  }
}

TEST(Progress, StopAskedWhileABoxIsUpEndsTheCommandThere) {
  // The power method asks the order, eps and three components; the stop
  // comes while the second component's box is up.
  bool stop = false;
  StoppingDialogs dialogs({"3", "0.001", "1", "1", "1"}, 4, stop);
  FlagSink sink(stop);
  TraceBuffer pane;
  EXPECT_EQ(RunCommand(*FindCommand("power"), dialogs, SymmetricText(3), pane, 6, {}, &sink),
            Outcome::kStopped);
  EXPECT_EQ(dialogs.shown().size(), 4u);
  EXPECT_FALSE(pane.changed());
}

TEST(Progress, WithoutASinkNothingChanges) {
  ScriptedDialogs with_none({"5", "0.001"});
  TraceBuffer plain;
  RunCommand(*FindCommand("jacobi"), with_none, SymmetricText(5), plain, 6, {});
  RecordingSink sink;
  ScriptedDialogs with_sink({"5", "0.001"});
  TraceBuffer reported;
  RunCommand(*FindCommand("jacobi"), with_sink, SymmetricText(5), reported, 6, {}, &sink);
  EXPECT_EQ(plain.text(), reported.text());
  EXPECT_FALSE(plain.text().empty());
}

}  // namespace
}  // namespace matcalc
