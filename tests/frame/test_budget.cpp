// The budgets count the text with the readers' copies and the front end's
// copies of the text and the trace, and the result pane makes room for the
// estimated trace at once.
#include <gtest/gtest.h>

#include <string>

#include "desk/scripted_dialogs.h"
#include "frame/budget.h"
#include "frame/frame.h"

namespace matcalc {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

TEST(Budget, CountsTheTextItsCopiesAndTheFrontEndsCopiesOfTheTrace) {
  const WorkEstimate estimate{.bytes = 10 * kMiB, .trace_bytes = 100 * kMiB, .nanoseconds = 1e9};
  const BudgetNeeds alone = TotalNeeds(estimate, 0, {});
  EXPECT_DOUBLE_EQ(alone.bytes, kProgramBytes + 110 * kMiB);
  EXPECT_DOUBLE_EQ(alone.nanoseconds, 1e9 + 100 * kMiB * kTraceByteNs);

  // The readers' copies of a small text are gone before the trace is
  // written; those of a large one are the larger moment.
  const BudgetNeeds small_text = TotalNeeds(estimate, 20 * kMiB, {});
  EXPECT_DOUBLE_EQ(small_text.bytes - alone.bytes, 20 * kMiB);
  EXPECT_DOUBLE_EQ(small_text.nanoseconds - alone.nanoseconds, 20 * kMiB * kTextByteNs);
  const BudgetNeeds large_text = TotalNeeds(estimate, 200 * kMiB, {});
  EXPECT_DOUBLE_EQ(large_text.bytes,
                   kProgramBytes + 10 * kMiB + 200 * kMiB * (1 + kReaderTextCopies));

  const BudgetNeeds window = TotalNeeds(estimate, 20 * kMiB, {.text_copies = 2, .trace_copies = 3});
  EXPECT_DOUBLE_EQ(window.bytes - small_text.bytes, 2 * 20 * kMiB + 3 * 100 * kMiB);
  EXPECT_DOUBLE_EQ(window.nanoseconds, small_text.nanoseconds);

  // What the front end holds from before the command counts whole, at both
  // moments, and costs no work.
  const BudgetNeeds holding = TotalNeeds(estimate, 20 * kMiB, {.held_bytes = 300 * kMiB});
  EXPECT_DOUBLE_EQ(holding.bytes - small_text.bytes, 300 * kMiB);
  EXPECT_DOUBLE_EQ(
      TotalNeeds(estimate, 200 * kMiB, {.held_bytes = 300 * kMiB}).bytes - large_text.bytes,
      300 * kMiB);
  EXPECT_DOUBLE_EQ(holding.nanoseconds, small_text.nanoseconds);
}

TEST(Budget, EitherBudgetRefuses) {
  EXPECT_TRUE(FitsBudget({.bytes = kMemoryBudgetBytes, .nanoseconds = kWorkBudgetNanoseconds}));
  EXPECT_FALSE(FitsBudget({.bytes = kMemoryBudgetBytes + 1, .nanoseconds = 0}));
  EXPECT_FALSE(FitsBudget({.bytes = 0, .nanoseconds = kWorkBudgetNanoseconds * 1.01}));
}

// A frame on a text of `text_bytes` with the front end's `costs`: whether an
// estimate of 600 MiB of trace (or of `bytes` of arrays) is refused.
bool Refused(std::size_t text_bytes, const FrontEndCosts& costs,
             WorkEstimate estimate = {.bytes = 0, .trace_bytes = 600 * kMiB, .nanoseconds = 0}) {
  ScriptedDialogs dialogs;
  TraceBuffer pane;
  const std::string text(text_bytes, '1');
  Boxes boxes;
  Frame frame(boxes, text, pane, 6, costs);
  return RunAnswering(dialogs, boxes, frame.RefuseIfTooLarge(estimate));
}

TEST(Budget, TheFrameCountsTheTextAndTheFrontEndsCopies) {
  EXPECT_FALSE(Refused(1000, {}));
  EXPECT_FALSE(Refused(1000, {.text_copies = 5}));
  // A second copy of the trace does not fit beside the first.
  EXPECT_TRUE(Refused(1000, {.trace_copies = 1}));
  // 100 MiB of text fits beside the trace, and so do two copies the front end
  // holds; five do not.
  EXPECT_FALSE(Refused(100 * 1024 * 1024, {}));
  EXPECT_FALSE(Refused(100 * 1024 * 1024, {.text_copies = 2}));
  EXPECT_TRUE(Refused(100 * 1024 * 1024, {.text_copies = 5}));
  // An earlier trace of 300 MiB held beside the new one leaves no room.
  EXPECT_FALSE(Refused(1000, {.held_bytes = 300 * kMiB}));
  EXPECT_TRUE(Refused(1000, {.held_bytes = 500 * kMiB}));
  // Beside 900 MiB of arrays, 50 MiB of text with the readers' copy fits;
  // 60 MiB does not.
  const WorkEstimate arrays{.bytes = 900 * kMiB, .trace_bytes = 0, .nanoseconds = 0};
  EXPECT_FALSE(Refused(50 * 1024 * 1024, {}, arrays));
  EXPECT_TRUE(Refused(60 * 1024 * 1024, {}, arrays));
}

// The refusal says what to do about it: the result pane's earlier text is
// named only when the run would fit without it; an order too large, too
// much work, or a copy on the clipboard that leaves no room is the order's.
TEST(Budget, TheRefusalBlamesThePaneOnlyWhenThePaneDecides) {
  const WorkEstimate fits{.bytes = 0, .trace_bytes = 300 * kMiB, .nanoseconds = 0};
  const WorkEstimate too_much_work{.bytes = 0, .trace_bytes = 0, .nanoseconds = 1e12};
  const WorkEstimate too_large{.bytes = 0, .trace_bytes = 1100 * kMiB, .nanoseconds = 0};
  struct Case {
    const char* name;
    WorkEstimate estimate;
    FrontEndCosts costs;
    std::string_view refusal;  // empty: accepted
  };
  const Case cases[] = {
      {"nothing held", fits, {}, ""},
      {"pane decides", fits, {.held_bytes = 800 * kMiB}, kPaneTooFullText},
      {"pane and a copy of the trace",
       fits,
       {.trace_copies = 1, .held_bytes = 500 * kMiB},
       kPaneTooFullText},
      {"order alone too large", too_large, {.held_bytes = 800 * kMiB}, kOrderTooLargeText},
      {"work, not memory", too_much_work, {.held_bytes = 800 * kMiB}, kOrderTooLargeText},
      {"empty pane", too_large, {}, kOrderTooLargeText},
      {"the clipboard's copy counts", fits, {.clipboard_bytes = 800 * kMiB}, kOrderTooLargeText},
      {"pane beside the clipboard",
       fits,
       {.held_bytes = 400 * kMiB, .clipboard_bytes = 400 * kMiB},
       kPaneTooFullText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedDialogs dialogs;
    TraceBuffer pane("earlier trace");
    Boxes boxes;
    Frame frame(boxes, "1 2\r\n3 4", pane, 6, c.costs);
    EXPECT_EQ(RunAnswering(dialogs, boxes, frame.RefuseIfTooLarge(c.estimate)), !c.refusal.empty());
    if (c.refusal.empty()) {
      EXPECT_TRUE(dialogs.shown().empty());
      continue;
    }
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].message.text, c.refusal);
    EXPECT_EQ(pane.text(), "earlier trace");
    EXPECT_FALSE(pane.changed());
  }
  // The exact mode's refusal the same way.
  for (const bool pane_decides : {false, true}) {
    ScriptedDialogs dialogs;
    TraceBuffer pane("earlier trace");
    Boxes boxes;
    Frame frame(boxes, "1", pane, 6, {.held_bytes = 800 * kMiB});
    EXPECT_TRUE(RunAnswering(dialogs, boxes,
                             frame.RefuseIfNumbersTooLong(pane_decides ? fits : too_large)));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].message.text,
              pane_decides ? kPaneTooFullText : kNumbersTooLongText);
  }
}

TEST(TraceBuffer, MakesRoomForTheTraceOnceAndKeepsTheEarlierTextUntilCleared) {
  ScriptedDialogs dialogs;
  TraceBuffer empty;
  Boxes boxes;
  Frame frame(boxes, "1", empty, 6);
  ASSERT_FALSE(
      RunAnswering(dialogs, boxes,
                   frame.RefuseIfTooLarge({.bytes = 0, .trace_bytes = 1 << 20, .nanoseconds = 0})));
  EXPECT_GE(empty.text().capacity(), 1u << 20);
  EXPECT_FALSE(empty.changed());
  const char* buffer = empty.text().data();
  for (int i = 0; i < 1000; ++i) empty.Append(std::string(1000, 'x'));
  EXPECT_EQ(empty.text().data(), buffer);  // never moved while it grew

  TraceBuffer earlier("earlier trace");
  Boxes boxes2;
  Frame frame2(boxes2, "1", earlier, 6);
  ASSERT_FALSE(RunAnswering(
      dialogs, boxes2,
      frame2.RefuseIfTooLarge({.bytes = 0, .trace_bytes = 1 << 20, .nanoseconds = 0})));
  EXPECT_EQ(earlier.text(), "earlier trace");
  EXPECT_FALSE(earlier.changed());
  earlier.Clear();
  EXPECT_EQ(earlier.text(), "");
  EXPECT_GE(earlier.text().capacity(), 1u << 20);
  // Later clears keep the room and make no more.
  earlier.Append("abc").Clear();
  EXPECT_GE(earlier.text().capacity(), 1u << 20);
}

}  // namespace
}  // namespace matcalc
