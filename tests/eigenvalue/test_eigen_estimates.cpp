// The eigenvalue methods' estimates, checked without timing anything: the
// largest order each accepts, and traces that never outgrow the room the
// result pane reserved for them.
#include <gtest/gtest.h>

#include <string>

#include "eigenvalue/estimates.h"
#include "support/golden.h"
#include "support/orders.h"

namespace matcalc {
namespace {

using testing::BudgetShare;
using testing::LargestAcceptedOrder;

struct Boundary {
  const char* method;
  testing::EstimateFunction estimate;
  int largest;  // with long entries, in the runner
};

// Measured side by side with these estimates by bench/calibrate.py; the
// orders follow from the unit costs in frame/budget.h.
const Boundary kBoundaries[] = {
    {"power", &PowerWork, 965},
    {"shift", &ShiftWork, 964},
    {"inverse-power", &InversePowerWork, 2779},
    {"jacobi", &JacobiWork, 462},
};

TEST(EigenEstimates, LargestAcceptedOrdersFillABudget) {
  for (const Boundary& b : kBoundaries) {
    SCOPED_TRACE(b.method);
    for (const int digits : {1, 6, 15}) {
      EXPECT_EQ(LargestAcceptedOrder(b.estimate, digits), b.largest);
    }
    // Refused only what cannot be held: the largest order fills a budget.
    EXPECT_GT(BudgetShare(b.estimate, b.largest, 15), 0.95);
    EXPECT_GT(BudgetShare(b.estimate, b.largest + 1, 15), 1.0);
  }
}

TEST(EigenEstimates, PowerMethodsTakeWhatTheirIterationsCost) {
  // Order 420 takes a few seconds and some 30 MB; 421 was refused once.
  EXPECT_GT(LargestAcceptedOrder(&PowerWork, 15), 600);
  EXPECT_GT(LargestAcceptedOrder(&ShiftWork, 15), 600);
  // A text far longer than its numbers costs its reading, and is counted.
  EXPECT_LT(LargestAcceptedOrder(&PowerWork, 15, 2000), LargestAcceptedOrder(&PowerWork, 15));
}

TEST(EigenEstimates, JacobiTraceWithItsTextStaysWithinTheMemoryBudget) {
  // Orders 453-464 once peaked at 2 GB: the trace of about 1 GB held twice.
  const int largest = LargestAcceptedOrder(&JacobiWork, 6);
  EXPECT_LT(largest, 464);
  EXPECT_LT(JacobiWork(largest, 6).trace_bytes, kMemoryBudgetBytes);
}

// The longest trace of each method at a small order, with the give-up
// question answered Yes: no longer than the estimate the pane reserves.
TEST(EigenEstimates, TracesFitTheirReservedRoom) {
  struct Run {
    const char* method;
    testing::EstimateFunction estimate;
    std::vector<std::string> answers;
    bool dominant;
  };
  const int n = 7;
  const std::string order = std::to_string(n);
  const Run runs[] = {
      {"power", &PowerWork, {order, "0"}, false},
      {"shift", &ShiftWork, {order, "0", "-1.23456789012345e-7"}, false},
      {"inverse-power", &InversePowerWork, {order, "0"}, true},
      {"jacobi", &JacobiWork, {order, "0"}, false},
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.method);
    for (const int digits : {6, 15}) {
      const testing::MethodOutcome result =
          testing::RunMethod(run.method, testing::LongEntriesText(n, run.dominant), run.answers,
                             {Reply::kYes}, digits);
      ASSERT_GT(result.text2.size(), 1000u);
      EXPECT_LE(static_cast<double>(result.text2.size()), run.estimate(n, digits).trace_bytes);
    }
  }
}

}  // namespace
}  // namespace matcalc
