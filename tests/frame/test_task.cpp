#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "desk/scripted_dialogs.h"
#include "frame/boxes.h"
#include "frame/task.h"

namespace matcalc {
namespace {

// Counts how many of its kind are alive, to see frames unwind.
struct Alive {
  explicit Alive(int& count) : count(count) { ++count; }
  ~Alive() { --count; }
  int& count;
};

Task<int> Seven(std::vector<std::string>& log) {
  log.push_back("seven");
  co_return 7;
}

Task<int> Doubled(std::vector<std::string>& log) {
  log.push_back("doubled");
  co_return 2 * co_await Seven(log);
}

Task<int> Thrower() {
  throw std::runtime_error("inner");
  co_return 0;
}

Task<int> Catcher() {
  try {
    co_await Thrower();
  } catch (const std::runtime_error& error) {
    co_return std::string(error.what()) == "inner" ? 1 : 2;
  }
  co_return 3;
}

Task<int> One() { co_return 1; }

// A million awaits of tasks that end at once: each hands control back to the
// loop, which would overflow the stack if every one nested a call.
Task<long> ManyAwaits() {
  long sum = 0;
  for (int i = 0; i < 1000000; ++i) sum += co_await One();
  co_return sum;
}

TEST(Task, StartsWhenAwaitedAndHandsBackTheResultOrTheException) {
  std::vector<std::string> log;
  Task<int> task = Doubled(log);
  EXPECT_TRUE(log.empty());  // lazy: nothing ran yet
  task.Resume();
  ASSERT_TRUE(task.done());
  EXPECT_EQ(task.Result(), 14);
  EXPECT_EQ(log, (std::vector<std::string>{"doubled", "seven"}));

  Task<int> caught = Catcher();
  caught.Resume();
  EXPECT_EQ(caught.Result(), 1);

  Task<int> thrown = Thrower();
  thrown.Resume();
  ASSERT_TRUE(thrown.done());
  EXPECT_THROW(thrown.Result(), std::runtime_error);

  Task<long> many = ManyAwaits();
  many.Resume();
  EXPECT_EQ(many.Result(), 1000000);

  // Moving hands the frame over; the moved-from task owns nothing.
  Task<int> moved = One();
  Task<int> owner = std::move(moved);
  EXPECT_FALSE(static_cast<bool>(moved));
  owner.Resume();
  EXPECT_EQ(owner.Result(), 1);
}

Task<std::optional<std::string>> AskName(Boxes& boxes, int& alive) {
  Alive here(alive);
  InputRequest request{"名字：", "", "甲"};
  co_return co_await boxes.Input(std::move(request));
}

Task<std::string> Conversation(Boxes& boxes, int& alive, int& ended) {
  Alive here(alive);
  std::optional<std::string> first = co_await AskName(boxes, alive);
  MessageRequest question;
  question.text = "再问一次？";
  question.buttons = Buttons::kYesNo;
  const Reply again = co_await boxes.Message(question);
  if (again == Reply::kYes) first = co_await AskName(boxes, alive);
  ++ended;
  co_return first.value_or("(none)");
}

TEST(Suspended, WaitsAtEachBoxKeepingItsStateAndResumesWithTheAnswer) {
  int alive = 0;
  int ended = 0;
  Suspended<std::string> run;
  run.Start(Conversation(run.boxes(), alive, ended));
  ASSERT_FALSE(run.done());
  EXPECT_TRUE(run.pending().is_input);
  EXPECT_EQ(run.pending().input.prompt, "名字：");
  EXPECT_EQ(run.pending().input.default_text, "甲");
  EXPECT_EQ(alive, 2);  // the command and the helper it awaits

  run.Answer(std::optional<std::string>("乙"));
  ASSERT_FALSE(run.done());
  EXPECT_FALSE(run.pending().is_input);
  EXPECT_EQ(run.pending().message.text, "再问一次？");
  EXPECT_EQ(alive, 1);

  run.Answer(Reply::kYes);
  ASSERT_FALSE(run.done());
  run.Answer(std::nullopt);  // cancelled
  ASSERT_TRUE(run.done());
  EXPECT_EQ(run.Result(), "(none)");
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(alive, 0);
}

TEST(Suspended, AbandonedAtABoxUnwindsEveryFrameAtOnce) {
  int alive = 0;
  int ended = 0;
  {
    Suspended<std::string> run;
    run.Start(Conversation(run.boxes(), alive, ended));
    EXPECT_EQ(alive, 2);
    run.Abandon();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(run.boxes().waiting());
    // Started again, it begins afresh.
    run.Start(Conversation(run.boxes(), alive, ended));
    EXPECT_EQ(alive, 2);
  }  // destroyed while waiting
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(ended, 0);
}

TEST(RunAnswering, AnswersEveryBoxFromTheDialogsInOrder) {
  int alive = 0;
  int ended = 0;
  ScriptedDialogs dialogs({"丙", "丁"}, {Reply::kYes});
  const std::string name =
      RunAnswering(dialogs, [&](Boxes& boxes) { return Conversation(boxes, alive, ended); });
  EXPECT_EQ(name, "丁");
  EXPECT_EQ(dialogs.Log(),
            "input\t\t名字：\t甲\t丙\n"
            "message\t\t再问一次？\tyesno\tyes\n"
            "input\t\t名字：\t甲\t丁\n");
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace matcalc
