// The direct methods' estimates, checked without timing anything: the
// largest order each accepts, and traces that never outgrow the room the
// result pane reserved for them.
#include <gtest/gtest.h>

#include <string>

#include "direct/estimates.h"
#include "support/golden.h"
#include "support/orders.h"

namespace matcalc {
namespace {

using testing::BudgetShare;
using testing::LargestAcceptedOrder;

struct Boundary {
  const char* method;
  testing::EstimateFunction estimate;
  int digits;
  int largest;  // with long entries, in the runner
};

// Measured side by side with these estimates by bench/calibrate.py; the
// orders follow from the unit costs in frame/budget.h.
const Boundary kBoundaries[] = {
    {"inverse", &InverseWork, 6, 1239},
    {"inverse", &InverseWork, 15, 2138},  // nothing rounded at D + 1 = 16
    {"determinant", &DeterminantWork, 15, 1764},
    {"lu", &TriangularWork, 15, 2715},
    {"positive-definite", &PositiveDefiniteWork, 15, 403},
    {"diagonal-dominance", &DiagonalDominanceWork, 15, 3656},
    {"matrix-norms", &MatrixNormsWork, 15, 2246},
};

TEST(DirectEstimates, LargestAcceptedOrdersFillABudget) {
  for (const Boundary& b : kBoundaries) {
    SCOPED_TRACE(std::string(b.method) + " with digits " + std::to_string(b.digits));
    EXPECT_EQ(LargestAcceptedOrder(b.estimate, b.digits), b.largest);
    EXPECT_GT(BudgetShare(b.estimate, b.largest, b.digits), 0.95);
    EXPECT_GT(BudgetShare(b.estimate, b.largest + 1, b.digits), 1.0);
  }
}

// The longest trace of each method at a small order: no longer than the
// estimate the pane reserves.
TEST(DirectEstimates, TracesFitTheirReservedRoom) {
  struct Run {
    const char* method;
    testing::EstimateFunction estimate;
    bool dominant;
  };
  const Run runs[] = {
      {"inverse", &InverseWork, false},
      {"determinant", &DeterminantWork, false},
      {"lu", &TriangularWork, true},
      {"positive-definite", &PositiveDefiniteWork, true},
      {"diagonal-dominance", &DiagonalDominanceWork, true},
      {"matrix-norms", &MatrixNormsWork, false},
  };
  const int n = 9;
  for (const Run& run : runs) {
    SCOPED_TRACE(run.method);
    for (const int digits : {6, 14, 15}) {
      const testing::MethodOutcome result = testing::RunMethod(
          run.method, testing::LongEntriesText(n, run.dominant), {std::to_string(n)}, {}, digits);
      ASSERT_GT(result.text2.size(), 500u);
      EXPECT_LE(static_cast<double>(result.text2.size()), run.estimate(n, digits).trace_bytes);
    }
  }
}

}  // namespace
}  // namespace matcalc
